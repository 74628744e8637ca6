// zeko-books: the book manager's flows from a terminal or a script, on the same
// registry, prefix and settings as the windows.

#include "ConsoleMessageBox.h"
#include "books/AbrirLivro.h"
#include "books/ListaLivros.h"
#include "books/RemoverLivro.h"
#include "drive/MountDrive.h"
#include "install/EscolhaArquivo.h"
#include "install/InstalarLivro.h"
#include "install/PainelInstalacao.h"
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
    "\n"
    "commands:\n"
    "  list [--json]            the user's books: name, drive, folder, whether the drive shows it now\n"
    "  install FILE.zip         installs a book from its ZIP file\n"
    "  open BOOK                opens a book (BOOK is its name or its drive, X:)\n"
    "  remove BOOK [--yes|--no] removes a book and its files; asks on a terminal,\n"
    "                           else needs --yes or --no\n"
    "  unmount                  releases the drives of all the user's books\n"
    "  --help                   this text\n"
    "\n"
    "exit status: 0 done, 1 refused or failed, 2 usage error, 3 the book manager is running\n";

// The few texts said before or beside the catalogue, in the course's language.
QString texto(const QString &idioma, const char *por, const char *ing, const char *esp)
{
    const QString code = shell::Startup::idiomaEfetivo(idioma).trimmed().toUpper();
    return QString::fromUtf8(code == QStringLiteral("ING") ? ing : code == QStringLiteral("ESP") ? esp : por);
}

class NoChoice : public install::EscolhaArquivo {
  public:
    std::optional<QString> escolheZip() override { return std::nullopt; }
};

// The install's progress as one line on a terminal, drawn over itself; nothing
// when standard error goes to a file or a pipe, where it would only be noise.
class TerminalPanel : public install::PainelInstalacao {
  public:
    explicit TerminalPanel(QString de)
        : m_de(std::move(de))
        , m_terminal(::isatty(STDERR_FILENO) == 1)
    {
    }
    ~TerminalPanel() override { acaba(); }
    void mostraProgresso(const QString &) override {}
    void animaProgresso(bool) override {}
    // The extraction is over, whatever came of it.
    void habilitaBotoes(bool habilitados) override
    {
        if (habilitados)
            acaba();
    }
    void mostraAndamento(int percentual, std::uint64_t escritos, std::uint64_t total) override
    {
        if (!m_terminal)
            return;
        const auto mb = [](std::uint64_t b) { return QString::number((b + (1u << 19)) >> 20); };
        std::fprintf(stderr, "\r%3d%%  %s MB %s %s MB\033[K", percentual, qPrintable(mb(escritos)),
                     qPrintable(m_de), qPrintable(mb(total)));
        std::fflush(stderr);
        m_linha = true;
    }

  private:
    // The line ends before anything else is said.
    void acaba()
    {
        if (m_linha)
            std::fputc('\n', stderr);
        m_linha = false;
    }
    QString m_de;
    bool m_terminal;
    bool m_linha = false;
};

int usage(const char *problem = nullptr)
{
    if (problem)
        std::fprintf(stderr, "zeko-books: %s\n\n", problem);
    std::fputs(kUsageText, stderr);
    return kUsage;
}

// The list entry of a book given by name (any letter case) or drive ("X:" or "X").
QString entradaDe(shell::SharedState &state, const QString &livro)
{
    const QStringList entradas = books::ListaLivros::entradas(state);
    const QString drive = livro.endsWith(u':') ? livro.toUpper() : livro.toUpper() + u':';
    for (int i = 1; i < entradas.size(); ++i) {
        const QString &e = entradas[i];
        if (books::ListaLivros::nomeDaEntrada(e).compare(livro, Qt::CaseInsensitive) == 0 ||
            (livro.size() <= 2 && books::ListaLivros::letraDaEntrada(e) == drive))
            return e;
    }
    return {};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage("no command given");
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(kUsageText, stdout);
        return kDone;
    }
    const QString comando = args.takeFirst();
    console::ConsoleMessageBox::Answer resposta = console::ConsoleMessageBox::Answer::Ask;
    bool json = false;
    QStringList livres;
    for (const QString &a : std::as_const(args)) {
        if (a == QStringLiteral("--yes"))
            resposta = console::ConsoleMessageBox::Answer::Yes;
        else if (a == QStringLiteral("--no"))
            resposta = console::ConsoleMessageBox::Answer::No;
        else if (a == QStringLiteral("--json"))
            json = true;
        else if (a.startsWith(QStringLiteral("--")))
            return usage(qPrintable(QStringLiteral("unknown option %1").arg(a)));
        else
            livres.append(a);
    }
    const int precisa = (comando == QStringLiteral("install") || comando == QStringLiteral("open") ||
                         comando == QStringLiteral("remove"))
                            ? 1
                            : 0;
    if (!QStringList{"list", "install", "open", "remove", "unmount"}.contains(comando))
        return usage(qPrintable(QStringLiteral("unknown command %1").arg(comando)));
    if (livres.size() != precisa)
        return usage(qPrintable(
            QStringLiteral("%1 takes %2 argument%3").arg(comando).arg(precisa).arg(precisa == 1 ? "" : "s")));
    if ((json && comando != QStringLiteral("list")) ||
        (resposta != console::ConsoleMessageBox::Answer::Ask && comando != QStringLiteral("remove")))
        return usage("that option does not go with this command");

    platform::WinePrefix prefix = platform::WinePrefix::fromEnvironment();
    platform::WinePlatform wine(prefix);
    const QString idioma = shell::Sistema(wine).LeIdiomaInst();
    // One program at a time on the registry and the drives, the windows included.
    platform::SingleInstance instance(QStringLiteral("ZEKODownload"));
    switch (instance.tryAcquire()) {
    case platform::SingleInstance::Lock::Acquired:
        break;
    case platform::SingleInstance::Lock::HeldElsewhere:
        std::fprintf(stderr, "%s\n",
                     qPrintable(texto(idioma, "O ZEKO Download está aberto. Feche-o e tente novamente.",
                                      "ZEKO Download is open. Close it and try again.",
                                      "ZEKO Download está abierto. Ciérrelo e inténtelo de nuevo.")));
        return kManagerRunning;
    case platform::SingleInstance::Lock::Failed:
        std::fprintf(stderr, "%s\n",
                     qPrintable(shell::Startup::falhaInstancia(idioma, instance.errorString())));
        return kRefusedOrFailed;
    }
    QString erro;
    if (!prefix.ensureSkeleton(&erro)) {
        std::fprintf(stderr, "%s\n", qPrintable(erro));
        return kRefusedOrFailed;
    }
    shell::SharedState state;
    const shell::StartupResult inicio =
        shell::Startup(wine, instance, QCoreApplication::applicationDirPath()).run(state);
    if (inicio.status != shell::StartupResult::Status::Ok) {
        std::fprintf(stderr, "%s\n", qPrintable(inicio.message));
        return kRefusedOrFailed;
    }

    console::ConsoleMessageBox box(state, resposta);
    drive::MountDrive drives(wine, state, box);

    if (comando == QStringLiteral("list")) {
        shell::Recordset &rs = *state.rsMapeamento;
        rs.requery();
        QJsonArray lista;
        if (!rs.isEmpty())
            for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
                const QString drive = rs.field(QStringLiteral("LetraDrive")).toString();
                QJsonObject livro{{"name", rs.field(QStringLiteral("Curso")).toString()},
                                  {"drive", drive},
                                  {"folder", rs.field(QStringLiteral("Caminho")).toString()},
                                  {"mounted", drives.PastaDeLivro(drive)}};
                lista.append(livro);
            }
        if (json) {
            std::fputs(QJsonDocument(lista).toJson(QJsonDocument::Indented).constData(), stdout);
        } else {
            for (const QJsonValue &v : std::as_const(lista)) {
                const QJsonObject o = v.toObject();
                std::printf("%s\t%s\t%s\t%s\n", qPrintable(o["name"].toString()),
                            qPrintable(o["drive"].toString()), qPrintable(o["folder"].toString()),
                            o["mounted"].toBool() ? "mounted" : "not mounted");
            }
        }
        return kDone;
    }
    if (comando == QStringLiteral("unmount")) {
        drives.DesmontaLivros();
        return kDone;
    }
    if (comando == QStringLiteral("install")) {
        NoChoice nenhuma;
        TerminalPanel painel(texto(idioma, "de", "of", "de"));
        install::InstalarLivro instalar(wine, state, box, drives, nenhuma, painel);
        return instalar.instala(QFileInfo(livres[0]).absoluteFilePath()) ? kDone : kRefusedOrFailed;
    }

    const QString entrada = entradaDe(state, livres[0]);
    if (entrada.isEmpty()) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(texto(idioma, "Nenhum livro seu se chama ou está na unidade \"%1\".",
                                      "None of your books is named or on drive \"%1\".",
                                      "Ninguno de sus libros se llama ni está en la unidad \"%1\".")
                                    .arg(livres[0])));
        return kRefusedOrFailed;
    }
    if (comando == QStringLiteral("open")) {
        books::AbrirLivro abrir(wine, state, box, drives, QCoreApplication::applicationDirPath(), [] {});
        return abrir.abre(entrada) ? kDone : kRefusedOrFailed;
    }
    books::RemoverLivro remover(
        wine, state, box, drives, [] {}, [](bool) {});
    const bool removido = remover.remove(entrada);
    if (box.unanswered())
        std::fprintf(stderr, "%s\n",
                     qPrintable(texto(idioma, "Nada foi removido: responda com --yes ou --no.",
                                      "Nothing was removed: answer with --yes or --no.",
                                      "No se eliminó nada: responda con --yes o --no.")));
    return removido ? kDone : kRefusedOrFailed;
}
