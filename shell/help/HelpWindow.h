#pragma once

#include <QWidget>

#include <memory>

class QLabel;
class QStackedWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;

namespace shell::help {

class ChmFile;
class ChmBrowser;

// The manager's own help viewer: shows a topic of a compiled help file with the
// file's table of contents beside it, and back and forward through the topics
// seen. A file that is missing or cannot be read is reported in the window
// itself, in the product's language.
class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    // language: "POR", "ING" or "ESP"; any other code gets the Portuguese texts,
    // the product's default language.
    explicit HelpWindow(const QString &language, QWidget *parent = nullptr);
    ~HelpWindow() override;

    // Opens (or brings up again) the one help window on the topic of the given
    // context number of the file, near the owner window. The window outlives
    // neither the program nor a call in another language, which replaces it;
    // it deletes itself when closed.
    static HelpWindow *MostraAjuda(QWidget *owner, const QString &chmPath, const QString &language,
                                   int context = 1000);

    // Loads the file and shows the topic of the context number; a number the
    // file does not know shows its default topic. Returns false when the file is
    // missing or unreadable, which the window then says in place of a topic.
    [[nodiscard]] bool open(const QString &chmPath, int context = 1000);

    const QString &language() const { return m_language; }
    // The file opened (its name as on disk), empty after a failure.
    QString file() const;
    // Internal path of the topic on show ("/overview.html"), empty when none.
    QString currentTopic() const;
    // The failure text on show, empty when a topic is shown.
    QString errorMessage() const;

  private:
    void showError(const QString &texto);
    void fillContents();
    void aoMudarTopico(const QUrl &url);
    void contentsClicked(QTreeWidgetItem *item);
    QUrl urlDoTopico(const QString &topico) const;

    QString m_language;
    std::unique_ptr<ChmFile> m_chm;
    QToolButton *m_back = nullptr;
    QToolButton *m_forward = nullptr;
    QStackedWidget *m_pages = nullptr;
    QTreeWidget *m_contents = nullptr;
    ChmBrowser *m_browser = nullptr;
    QLabel *m_errorLabel = nullptr;
    int m_generation = 0;
};

} // namespace shell::help
