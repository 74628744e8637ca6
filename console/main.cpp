// zeko-books: the book manager's flows from a terminal or a script, on the same
// registry, prefix and settings as the windows.

#include "ConsoleMessageBox.h"
#include "books/BookCheck.h"
#include "books/BookEntries.h"
#include "books/MenuEntries.h"
#include "books/OpeningFlow.h"
#include "books/RemovalFlow.h"
#include "drive/MountDrive.h"
#include "install/FileChoice.h"
#include "install/InstallFlow.h"
#include "install/InstallPanel.h"
#include "messages/SystemReason.h"
#include "platform/SingleInstance.h"
#include "platform/WinePlatform.h"
#include "shell/Sistema.h"
#include "shell/Startup.h"
#include "shell/registry/Recordset.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <unistd.h>

namespace {

// Exit statuses scripts can tell apart.
constexpr int kDone = 0;
constexpr int kRefusedOrFailed = 1;
constexpr int kUsage = 2;
constexpr int kManagerRunning = 3;

const char *const kUsageText =
    "usage: zeko-books COMMAND [ARGUMENTS]\n"
    "\n"
    "Manages the books of the current user, in the Wine prefix $WINEPREFIX (or ~/.wine),\n"
    "with the registry and settings of the ZEKO Download beside this program.\n"
    "Options go before \"--\"; every word after it is an argument.\n"
    "\n"
    "commands:\n"
    "  list [--json]            the user's books: name, drive, folder, whether the drive shows it now\n"
    "  install FILE.zip         installs a book from its ZIP file\n"
    "  open BOOK                opens a book (BOOK is its name or its drive, X:; after --,\n"
    "                           its name only, as in: open -- --yes)\n"
    "  remove BOOK [--yes|--no] removes a book and its files; asks on a terminal,\n"
    "                           else needs --yes or --no\n"
    "  unmount                  releases the drives of all the user's books\n"
    "  check [--repair [--yes]] reports, one line each, what the start-up leaves: folders in the\n"
    "                           download folder no book uses, leftovers of an installation or a\n"
    "                           removal cut short, drives into the download folder that are none\n"
    "                           of the user's books, and the user's books whose folder holds no\n"
    "                           book; --repair releases and deletes them, asking on a terminal\n"
    "                           (else needing --yes) before it deletes a folder no book uses\n"
    "  --help                   this text\n"
    "\n"
    "exit status: 0 done (check: nothing found, or all of it repaired), 1 refused or failed\n"
    "(check: something found and left), 2 usage error, 3 the book manager is running\n";

// The few texts said before or beside the catalogue, in the course's language.
QString texto(const QString &language, const char *pt, const char *en, const char *es)
{
    const QString code = shell::Startup::effectiveLanguage(language).trimmed().toUpper();
    return QString::fromUtf8(code == QStringLiteral("ING") ? en : code == QStringLiteral("ESP") ? es : pt);
}

class NoChoice : public install::FileChoice {
  public:
    std::optional<QString> chooseZip() override { return std::nullopt; }
};

// The install's progress as one line on a terminal, drawn over itself; nothing
// when standard error goes to a file or a pipe, where it would only be noise.
class TerminalPanel : public install::InstallPanel {
  public:
    explicit TerminalPanel(QString de)
        : m_de(std::move(de))
        , m_terminal(::isatty(STDERR_FILENO) == 1)
    {
    }
    ~TerminalPanel() override { acaba(); }
    void showProgress(const QString &) override {}
    void animateProgress(bool) override {}
    // The extraction is over, whatever came of it.
    void enableButtons(bool enabled) override
    {
        if (enabled)
            acaba();
    }
    void showAdvance(int percent, std::uint64_t written, std::uint64_t total) override
    {
        if (!m_terminal)
            return;
        const auto mb = [](std::uint64_t b) { return QString::number((b + (1u << 19)) >> 20); };
        std::fprintf(stderr, "\r%3d%%  %s MB %s %s MB\033[K", percent, qPrintable(mb(written)),
                     qPrintable(m_de), qPrintable(mb(total)));
        std::fflush(stderr);
        m_midLine = true;
    }

  private:
    // The line ends before anything else is said.
    void acaba()
    {
        if (m_midLine)
            std::fputc('\n', stderr);
        m_midLine = false;
    }
    QString m_de;
    bool m_terminal;
    bool m_midLine = false;
};

int usage(const char *problem = nullptr)
{
    if (problem)
        std::fprintf(stderr, "zeko-books: %s\n\n", problem);
    std::fputs(kUsageText, stderr);
    return kUsage;
}

// The list entry of a book given by name or drive ("X:" or "X"). A name goes
// before a drive, and one in its own letter case before one in another; after
// "--" (a menu entry's command) the word is a name only.
QString entryOf(shell::SharedState &state, const QString &book, bool nameOnly)
{
    const QStringList entries = books::BookEntries::entries(state);
    for (const Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive})
        for (int i = 1; i < entries.size(); ++i)
            if (books::BookEntries::nameOfEntry(entries[i]).compare(book, cs) == 0)
                return entries[i];
    if (nameOnly || book.size() > 2)
        return {};
    const QString drive = book.endsWith(u':') ? book.toUpper() : book.toUpper() + u':';
    for (int i = 1; i < entries.size(); ++i)
        if (books::BookEntries::letterOfEntry(entries[i]) == drive)
            return entries[i];
    return {};
}

// One line per finding on standard output; with repair each is mended (an
// unregistered folder only once the user said yes) and the line says how it went.
int check(platform::Platform &platform, shell::SharedState &state, console::ConsoleMessageBox &box,
          const QString &language, bool repair)
{
    using Kind = books::BookCheck::Kind;
    using RepairFailure = books::BookCheck::RepairFailure;
    books::BookCheck bookCheck(platform, state);
    QString error;
    const auto findings = bookCheck.find(&error);
    if (!findings) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(texto(language, "Não foi possível ler o registro de livros: %1",
                                      "The book registry could not be read: %1",
                                      "No se pudo leer el registro de libros: %1")
                                    .arg(error)));
        return kRefusedOrFailed;
    }
    bool left = false;
    for (const books::BookCheck::Finding &f : *findings) {
        QString line;
        switch (f.kind) {
        case Kind::StrayDrive:
            line = texto(language, "A unidade %1 leva a %2, que não é nenhum dos seus livros.",
                         "Drive %1 leads to %2, which is none of your books.",
                         "La unidad %1 lleva a %2, que no es ninguno de sus libros.")
                       .arg(f.letter, f.shown);
            break;
        case Kind::StagingLeftover:
            line = texto(language, "%1 foi deixado por uma instalação interrompida.",
                         "%1 was left by an installation cut short.",
                         "%1 quedó de una instalación interrumpida.")
                       .arg(f.shown);
            break;
        case Kind::RemovalLeftover:
            line = texto(language, "%1 foi deixado por uma remoção interrompida.",
                         "%1 was left by a removal cut short.", "%1 quedó de una eliminación interrumpida.")
                       .arg(f.shown);
            break;
        case Kind::UnregisteredFolder:
            line = texto(language, "%1 está na pasta de download, mas nenhum livro do registro a usa.",
                         "%1 is in the download folder, but no book in the registry uses it.",
                         "%1 está en la carpeta de descarga, pero ningún libro del registro la usa.")
                       .arg(f.shown);
            break;
        case Kind::NotABook:
            line = texto(language,
                         "O seu livro %1 (%2) não tem Autorun.exe e Idioma.kvt em %3; para tirá-lo da sua "
                         "lista: zeko-books remove %2",
                         "Your book %1 (%2) has no Autorun.exe and Idioma.kvt in %3; to take it off your "
                         "list: zeko-books remove %2",
                         "Su libro %1 (%2) no tiene Autorun.exe e Idioma.kvt en %3; para quitarlo de su "
                         "lista: zeko-books remove %2")
                       .arg(f.course, f.letter, f.shown);
            break;
        case Kind::MissingFolder:
            line = texto(language,
                         "A pasta %3 do seu livro %1 (%2) não existe; para tirá-lo da sua lista: zeko-books "
                         "remove %2",
                         "The folder %3 of your book %1 (%2) does not exist; to take it off your list: "
                         "zeko-books remove %2",
                         "La carpeta %3 de su libro %1 (%2) no existe; para quitarlo de su lista: zeko-books "
                         "remove %2")
                       .arg(f.course, f.letter, f.shown);
            break;
        }
        const bool repairable = f.kind != Kind::NotABook && f.kind != Kind::MissingFolder;
        if (!repair || !repairable) {
            left = true;
            std::printf("%s\n", qPrintable(line));
            continue;
        }
        if (f.kind == Kind::UnregisteredFolder) {
            box.ExibeMensagem(texto(language,
                                    "Apagar %1 e tudo o que há nela? Nenhum livro do registro a usa.",
                                    "Delete %1 and everything in it? No book in the registry uses it.",
                                    "¿Eliminar %1 y todo su contenido? Ningún libro del registro la usa.")
                                  .arg(f.shown),
                              4, 10, 1, true, QString(), 0);
            if (state.intBotaoMsg != 1) {
                left = true;
                line +=
                    u' ' +
                    (box.unanswered()
                         ? texto(language, "Deixada: responda sim num terminal, ou dê --yes, para apagá-la.",
                                 "Left: answer yes on a terminal, or give --yes, to delete it.",
                                 "Se dejó: responda sí en un terminal, o dé --yes, para eliminarla.")
                         : texto(language, "Deixada.", "Left.", "Se dejó."));
                std::printf("%s\n", qPrintable(line));
                continue;
            }
        }
        const books::BookCheck::RepairOutcome outcome = bookCheck.repair(f);
        if (outcome) {
            line +=
                u' ' + (f.kind == Kind::StrayDrive ? texto(language, "Liberada.", "Released.", "Liberada.")
                        : f.kind == Kind::UnregisteredFolder
                            ? texto(language, "Apagada.", "Deleted.", "Eliminada.")
                            : texto(language, "Apagado.", "Deleted.", "Eliminado."));
        } else {
            left = true;
            const QString why =
                outcome.failure() == RepairFailure::InUse
                    ? texto(language, "está em uso, ou mudou entretanto",
                            "it is in use, or it changed meanwhile", "está en uso, o cambió entretanto")
                : outcome.systemError() != 0 ? messages::systemReason(*state.catalogue, outcome.systemError())
                                             : outcome.reason();
            line +=
                u' ' + texto(language, "Não reparado: %1.", "Not repaired: %1.", "No reparado: %1.").arg(why);
        }
        std::printf("%s\n", qPrintable(line));
    }
    return left ? kRefusedOrFailed : kDone;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage("no command given");
    const QStringList options = args.mid(0, args.indexOf(QStringLiteral("--")));
    if (options.contains(QStringLiteral("--help")) || options.contains(QStringLiteral("-h"))) {
        std::fputs(kUsageText, stdout);
        return kDone;
    }
    const QString command = args.takeFirst();
    console::ConsoleMessageBox::Answer answerMode = console::ConsoleMessageBox::Answer::Ask;
    bool json = false;
    bool repair = false;
    QStringList freeArgs;
    // After "--" every word is an argument, however it looks: a book named "--yes".
    bool optionsEnded = false;
    for (const QString &a : std::as_const(args)) {
        if (optionsEnded)
            freeArgs.append(a);
        else if (a == QStringLiteral("--"))
            optionsEnded = true;
        else if (a == QStringLiteral("--yes"))
            answerMode = console::ConsoleMessageBox::Answer::Yes;
        else if (a == QStringLiteral("--no"))
            answerMode = console::ConsoleMessageBox::Answer::No;
        else if (a == QStringLiteral("--json"))
            json = true;
        else if (a == QStringLiteral("--repair"))
            repair = true;
        else if (a.startsWith(QStringLiteral("--")))
            return usage(qPrintable(QStringLiteral("unknown option %1").arg(a)));
        else
            freeArgs.append(a);
    }
    const int precisa = (command == QStringLiteral("install") || command == QStringLiteral("open") ||
                         command == QStringLiteral("remove"))
                            ? 1
                            : 0;
    if (!QStringList{"list", "install", "open", "remove", "unmount", "check"}.contains(command))
        return usage(qPrintable(QStringLiteral("unknown command %1").arg(command)));
    if (freeArgs.size() != precisa)
        return usage(qPrintable(
            QStringLiteral("%1 takes %2 argument%3").arg(command).arg(precisa).arg(precisa == 1 ? "" : "s")));
    // --yes answers the removal's question, or check's before it deletes a folder.
    const bool answers =
        command == QStringLiteral("remove") || (command == QStringLiteral("check") && repair &&
                                                answerMode == console::ConsoleMessageBox::Answer::Yes);
    if ((json && command != QStringLiteral("list")) || (repair && command != QStringLiteral("check")) ||
        (answerMode != console::ConsoleMessageBox::Answer::Ask && !answers))
        return usage("that option does not go with this command");

    platform::WinePrefix prefix = platform::WinePrefix::fromEnvironment();
    platform::WinePlatform wine(prefix);
    const QString language = shell::Sistema(wine).LeIdiomaInst();
    // One program at a time on the registry and the drives, the windows included.
    platform::SingleInstance instance(QStringLiteral("ZEKODownload"));
    switch (instance.tryAcquire()) {
    case platform::SingleInstance::Lock::Acquired:
        break;
    case platform::SingleInstance::Lock::HeldElsewhere:
        std::fprintf(stderr, "%s\n",
                     qPrintable(texto(language, "O ZEKO Download está aberto. Feche-o e tente novamente.",
                                      "ZEKO Download is open. Close it and try again.",
                                      "ZEKO Download está abierto. Ciérrelo e inténtelo de nuevo.")));
        return kManagerRunning;
    case platform::SingleInstance::Lock::Failed:
        std::fprintf(stderr, "%s\n",
                     qPrintable(shell::Startup::instanceFailure(language, instance.errorString())));
        return kRefusedOrFailed;
    }
    QString error;
    if (!prefix.ensureSkeleton(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return kRefusedOrFailed;
    }
    shell::SharedState state;
    const shell::StartupResult startup =
        shell::Startup(wine, instance, QCoreApplication::applicationDirPath(),
                       shell::Startup::Catalogue::Shared)
            .run(state);
    if (startup.status != shell::StartupResult::Status::Ok) {
        std::fprintf(stderr, "%s\n", qPrintable(startup.message));
        return kRefusedOrFailed;
    }

    // The menu's entries follow the registry as this start found it.
    state.menuEntries = books::MenuEntries::forProgram(QCoreApplication::applicationDirPath(), prefix.root());
    (void)state.menuEntries.sync(books::MenuEntries::booksOf(*state.rsMapeamento));

    console::ConsoleMessageBox box(state, answerMode);
    drive::MountDrive drives(wine, state, box);

    if (command == QStringLiteral("list")) {
        shell::registry::Recordset &rs = *state.rsMapeamento;
        // Read moments ago at start-up; a failed second read lists those rows.
        (void)rs.requery();
        QJsonArray list;
        if (!rs.isEmpty())
            for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
                const QString drive = rs.field(QStringLiteral("LetraDrive")).toString();
                QJsonObject book{{"name", rs.field(QStringLiteral("Curso")).toString()},
                                 {"drive", drive},
                                 {"folder", rs.field(QStringLiteral("Caminho")).toString()},
                                 {"mounted", drives.PastaDeLivro(drive)}};
                list.append(book);
            }
        if (json) {
            std::fputs(QJsonDocument(list).toJson(QJsonDocument::Indented).constData(), stdout);
        } else {
            for (const QJsonValue &v : std::as_const(list)) {
                const QJsonObject o = v.toObject();
                std::printf("%s\t%s\t%s\t%s\n", qPrintable(o["name"].toString()),
                            qPrintable(o["drive"].toString()), qPrintable(o["folder"].toString()),
                            o["mounted"].toBool() ? "mounted" : "not mounted");
            }
        }
        return kDone;
    }
    if (command == QStringLiteral("check")) {
        // A drive released or a folder deleted under a running course would pull its book away.
        if (repair && drives.CursoEmExecucao()) {
            std::fprintf(stderr, "%s\n",
                         qPrintable(texto(language, "O curso está em execução: feche-o antes de reparar.",
                                          "The course is running: close it before repairing.",
                                          "El curso se está ejecutando: ciérrelo antes de reparar.")));
            return kRefusedOrFailed;
        }
        return check(wine, state, box, language, repair);
    }
    if (command == QStringLiteral("unmount")) {
        drives.DesmontaLivros();
        return kDone;
    }
    if (command == QStringLiteral("install")) {
        NoChoice noChoice;
        TerminalPanel panel(texto(language, "de", "of", "de"));
        install::InstallFlow installFlow(wine, state, box, drives, noChoice, panel);
        return installFlow.install(QFileInfo(freeArgs[0]).absoluteFilePath()) ? kDone : kRefusedOrFailed;
    }

    const QString entry = entryOf(state, freeArgs[0], optionsEnded);
    if (entry.isEmpty()) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(texto(language, "Nenhum livro seu se chama ou está na unidade \"%1\".",
                                      "None of your books is named or on drive \"%1\".",
                                      "Ninguno de sus libros se llama ni está en la unidad \"%1\".")
                                    .arg(freeArgs[0])));
        return kRefusedOrFailed;
    }
    if (command == QStringLiteral("open")) {
        books::OpeningFlow opening(wine, state, box, drives, QCoreApplication::applicationDirPath(), [] {});
        return opening.open(entry) ? kDone : kRefusedOrFailed;
    }
    books::RemovalFlow removal(
        wine, state, box, drives, [] {}, [](bool) {});
    const bool removed = removal.remove(entry);
    if (box.unanswered())
        std::fprintf(stderr, "%s\n",
                     qPrintable(texto(language, "Nada foi removido: responda com --yes ou --no.",
                                      "Nothing was removed: answer with --yes or --no.",
                                      "No se eliminó nada: responda con --yes o --no.")));
    return removed ? kDone : kRefusedOrFailed;
}
