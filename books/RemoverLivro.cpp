#include "RemoverLivro.h"

#include "ListaLivros.h"
#include "drive/MountDrive.h"
#include "messages/Aviso.h"
#include "messages/Catalogue.h"
#include "messages/MessageBox.h"
#include "platform/Platform.h"
#include "shell/SegundoPlano.h"
#include "shell/SharedState.h"
#include "shell/registry/Recordset.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace books {

namespace {

constexpr int kFalhaPasta = 1;
constexpr int kLivroRemovido = 10;
constexpr int kUnidadeNaoLiberada = 11;
constexpr int kUnidadeSemLivro = 12;
constexpr int kArquivosFicaram = 21;
constexpr int kTudoApagado = 30;
constexpr int kPastaFicou = 31;
constexpr int kConfirmaRemocao = 36;
constexpr int kCursoEmExecucao = 37;
constexpr int kApagando = 40;

} // namespace

RemoverLivro::RemoverLivro(platform::Platform &platform, shell::SharedState &state, messages::MessageBox &box,
                           drive::MountDrive &drives, std::function<void()> montaCombo,
                           std::function<void(bool)> habilitaJanela)
    : m_platform(platform)
    , m_state(state)
    , m_box(box)
    , m_drives(drives)
    , m_montaCombo(std::move(montaCombo))
    , m_habilitaJanela(std::move(habilitaJanela))
{
}

void RemoverLivro::mostra(int codigo, const QStringList &params)
{
    messages::avisa(m_state, m_box, codigo, params);
}

bool RemoverLivro::ExisteMapeamento(const QString &strLetra)
{
    return m_state.rsMapeamento->findFirst(QStringLiteral("LetraDrive"), strLetra + u':');
}

QString RemoverLivro::NomeDaPasta(const QString &strCaminho)
{
    return strCaminho.mid(strCaminho.lastIndexOf(u'\\') + 1);
}

void RemoverLivro::esperaCaixaFechar()
{
    while (m_state.blnMsgAberta && !QCoreApplication::closingDown())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

bool RemoverLivro::remove(const QString &entrada)
{
    if (m_drives.CursoEmExecucao()) {
        mostra(kCursoEmExecucao);
        return false;
    }
    const QString strLetra = ListaLivros::letraDaEntrada(entrada).left(1);
    shell::Recordset &rs = *m_state.rsMapeamento;
    const QString strCaminho = ExisteMapeamento(strLetra) ? rs.field(3).toString() : QString();

    if (!m_drives.PastaDeLivro(strLetra + u':')) {
        if (ExisteMapeamento(strLetra))
            rs.deleteCurrent();
        m_montaCombo();
        mostra(kUnidadeSemLivro, {strLetra});
        return true; // the book left the list; its files were not the question
    }
    // A drive that shows a book but is no book of the list (the data changed
    // underneath): nothing of it is the user's to remove.
    if (strCaminho.isEmpty()) {
        m_montaCombo();
        return false;
    }

    const QString strNomeLivro = NomeDaPasta(strCaminho);
    m_state.strMensagem = messages::Catalogue(*m_state.rsMensagens, *m_state.rsBotoes)
                              .mensagem(kConfirmaRemocao, {strNomeLivro});
    m_box.ExibeMensagem(m_state.strMensagem, 4, 10, 1, true, QString(), 0);
    if (m_state.intBotaoMsg != 1)
        return false;

    if (!m_drives.MapeiaDrive(strLetra, strCaminho, true)) {
        const QString livre = m_state.strLetrasLivres.size() > 1 ? m_state.strLetrasLivres.at(1) : QString();
        mostra(kUnidadeNaoLiberada, {strCaminho, livre});
        return false;
    }
    if (ExisteMapeamento(strLetra))
        rs.deleteCurrent();
    m_montaCombo();

    int fechamento = kLivroRemovido;
    QStringList parametros{strLetra};

    // The files go on a thread of their own, while the notice (a box without
    // buttons that closes on a click or after four seconds) and the window go on.
    const QString pasta = m_platform.toUnixPath(strCaminho);
    bool apagou = false;
    const BookFiles arquivos = m_arquivos;
    shell::emSegundoPlano(
        [&apagou, pasta, arquivos] { apagou = arquivos.ApagaArquivos(pasta) && arquivos.ApagaPastas(pasta); },
        [&] {
            m_state.strMensagem = messages::Catalogue(*m_state.rsMensagens, *m_state.rsBotoes)
                                      .mensagem(kApagando, {strNomeLivro});
            m_box.ExibeMensagem(m_state.strMensagem, 0, 10, 1, true, QString(), 0);
            // Closing, the notice gave the window back; the files may still be going.
            m_habilitaJanela(false);
        });

    m_state.intBotaoMsg = 1;
    if (!apagou) {
        esperaCaixaFechar();
        mostra(kArquivosFicaram, {strCaminho});
    }
    m_habilitaJanela(true);
    if (BookFiles::semArquivos(pasta)) {
        fechamento = RemovePasta(strCaminho + u'\\') ? kTudoApagado : kPastaFicou;
        parametros = {strLetra, strCaminho};
    }
    esperaCaixaFechar();
    mostra(fechamento, parametros);
    return true;
}

bool RemoverLivro::RemovePasta(const QString &strPasta)
{
    const QString pasta = m_platform.toUnixPath(strPasta);
    if (BookFiles::temSubpastas(pasta))
        return false;
    QString erro;
    if (m_arquivos.removeFolder(pasta, &erro))
        return true;
    const QString livre = m_state.strLetrasLivres.size() > 1 ? m_state.strLetrasLivres.at(1) : QString();
    mostra(kFalhaPasta, {strPasta, livre});
    return false;
}

} // namespace books
