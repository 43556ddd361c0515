#pragma once

#include <QWidget>

class QLineEdit;
class QListWidget;
class QTextBrowser;

// The user guide: contents list, search, and the page itself.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    // The guide shipped with the program.
    static constexpr const char *GuideResource = ":/help/guide.html";
    static constexpr const char *NoHelpMessage =
        "Unable to display Help Contents. There is no Help associated with this project.";

    explicit HelpWindow(const QString &guidePath = GuideResource, QWidget *parent = nullptr);

    // False when the guide could not be read.
    bool hasGuide() const { return m_hasGuide; }
    void showContents();
    void showSearch();

    QListWidget *contents() const { return m_contents; }
    QLineEdit *searchBox() const { return m_search; }
    QTextBrowser *browser() const { return m_browser; }

    // Section titles (with their anchors) whose text contains every word.
    QStringList matchingSections(const QString &words) const;

private:
    void search(const QString &words);

    struct Section
    {
        QString anchor;
        QString title;
        QString text; // plain text of the section, for searching
    };
    QList<Section> m_sections;
    QListWidget *m_contents = nullptr;
    QLineEdit *m_search = nullptr;
    QTextBrowser *m_browser = nullptr;
    bool m_hasGuide = false;
};
