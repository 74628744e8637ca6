#pragma once

#include <QWidget>

#include <memory>

class QLabel;
class QStackedWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;

namespace shell {

class ChmFile;
class ChmBrowser;

// The manager's own help viewer: shows a topic of a compiled help file with the
// file's table of contents beside it, and back and forward through the topics
// seen. A file that is missing or cannot be read is reported in the window
// itself, in the product's language.
class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    // idioma: "POR", "ING" or "ESP"; any other code gets the Portuguese texts,
    // the product's default language.
    explicit HelpWindow(const QString &idioma, QWidget *parent = nullptr);
    ~HelpWindow() override;

    // Opens (or brings up again) the one help window on the topic of the given
    // context number of the file, near the owner window. The window outlives
    // neither the program nor a call in another language, which replaces it;
    // it deletes itself when closed.
    static HelpWindow *MostraAjuda(QWidget *owner, const QString &chmPath, const QString &idioma,
                                   int context = 1000);

    // Loads the file and shows the topic of the context number; a number the
    // file does not know shows its default topic. Returns false when the file is
    // missing or unreadable, which the window then says in place of a topic.
    bool abre(const QString &chmPath, int context = 1000);

    const QString &idioma() const { return m_idioma; }
    // The file opened (its name as on disk), empty after a failure.
    QString arquivo() const;
    // Internal path of the topic on show ("/overview.html"), empty when none.
    QString topicoAtual() const;
    // The failure text on show, empty when a topic is shown.
    QString textoErro() const;

  private:
    void mostraErro(const QString &texto);
    void montaSumario();
    void aoMudarTopico(const QUrl &url);
    void aoClicarSumario(QTreeWidgetItem *item);
    QUrl urlDoTopico(const QString &topico) const;

    QString m_idioma;
    std::unique_ptr<ChmFile> m_chm;
    QToolButton *m_voltar = nullptr;
    QToolButton *m_avancar = nullptr;
    QStackedWidget *m_paginas = nullptr;
    QTreeWidget *m_sumario = nullptr;
    ChmBrowser *m_browser = nullptr;
    QLabel *m_erro = nullptr;
    int m_geracao = 0;
};

} // namespace shell
