#include "Navegacao.h"

#include "SharedState.h"
#include "Sistema.h"
#include "Startup.h"
#include "books/frmAbrirLivro.h"
#include "frmPrincipal.h"
#include "install/frmInstalarLivro.h"
#include "messages/MessageBox.h"

namespace shell {

Navegacao::Navegacao(platform::Platform &platform, SharedState &state, drive::MountDrive &drives,
                     messages::MessageBox &box, frmPrincipal &principal, QString pastaPrograma,
                     std::function<void(QWidget *)> ajuda, std::function<void()> encerrar)
    : m_platform(platform)
    , m_state(state)
    , m_drives(drives)
    , m_box(box)
    , m_principal(principal)
    , m_pastaPrograma(std::move(pastaPrograma))
    , m_ajuda(std::move(ajuda))
    , m_encerrar(std::move(encerrar))
{
    connect(&principal, &frmPrincipal::livrosPedidos, this, &Navegacao::abreLivros);
    connect(&principal, &frmPrincipal::instalacaoPedida, this, &Navegacao::abreInstalacao);
    connect(&principal, &frmPrincipal::ajudaPedida, this, [this, &principal] { m_ajuda(&principal); });
}

void Navegacao::abreLivros()
{
    if (SkinnedWindow::anyBusy())
        return;
    auto *livros =
        new books::frmAbrirLivro(m_platform, m_state, m_drives, m_box, m_pastaPrograma, m_encerrar);
    livros->setAttribute(Qt::WA_DeleteOnClose);
    connect(livros, &books::frmAbrirLivro::ajudaPedida, this, [this, livros] { m_ajuda(livros); });
    connect(livros, &books::frmAbrirLivro::configurarPedido, this, &Navegacao::abreInstalacao);
    runLoadStep(livros, [livros](QString *falta) { return livros->carrega(falta); });
}

void Navegacao::abreInstalacao()
{
    if (SkinnedWindow::anyBusy())
        return;
    auto *instalar = new install::frmInstalarLivro(m_platform, m_state, m_drives, m_box, nullptr, m_encerrar);
    instalar->setAttribute(Qt::WA_DeleteOnClose);
    connect(instalar, &install::frmInstalarLivro::ajudaPedida, this, [this, instalar] { m_ajuda(instalar); });
    connect(instalar, &install::frmInstalarLivro::livroPedido, this, &Navegacao::abreLivros);
    runLoadStep(instalar, [instalar](QString *falta) { return instalar->carrega(falta); });
}

void Navegacao::runLoadStep(SkinnedWindow *janela, const std::function<bool(QString *)> &loadStep)
{
    // The main window stays on screen until the load step ends, and the step may
    // wait on a message box: its buttons would unload the window that is loading.
    m_principal.setEnabled(false);
    QString falta;
    const bool loaded = loadStep(&falta);
    m_principal.setEnabled(true);
    if (!loaded)
        falhou(janela, falta);
}

void Navegacao::falhou(QWidget *janela, const QString &falta)
{
    delete janela;
    m_state.strNomeForm = QStringLiteral("frmPrincipal");
    if (QWidget *principal = SkinnedWindow::porNome(QStringLiteral("frmPrincipal")))
        principal->show();
    m_state.strMensagem = Startup::arquivoAusente(Sistema(m_platform).LeIdiomaInst(), falta);
    m_box.mostraAviso(m_state.strMensagem);
}

} // namespace shell
