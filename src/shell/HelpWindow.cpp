#include "shell/HelpWindow.h"

#include "platform/FileIO.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

HelpWindow::HelpWindow(const QString &guidePath, QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName("HelpWindow");
    setWindowTitle("Vantrelle Help");
    resize(900, 640);

    auto *layout = new QHBoxLayout(this);
    auto *splitter = new QSplitter;
    auto *left = new QWidget;
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    m_search = new QLineEdit;
    m_search->setObjectName("editSearch");
    m_search->setPlaceholderText("Search the guide");
    m_search->setClearButtonEnabled(true);
    m_contents = new QListWidget;
    m_contents->setObjectName("lstContents");
    leftLayout->addWidget(m_search);
    leftLayout->addWidget(m_contents);
    m_browser = new QTextBrowser;
    m_browser->setObjectName("txtGuide");
    m_browser->setOpenExternalLinks(false);
    splitter->addWidget(left);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 3);
    layout->addWidget(splitter);

    // The guide is a few hundred kilobytes; a path given in its place is read
    // only so far, and only when it is a regular file.
    constexpr qint64 MaxGuideBytes = 8 * 1024 * 1024;
    QByteArray bytes;
    if (!ReadFileHead(guidePath, MaxGuideBytes, bytes))
        return;
    const QString html = QString::fromUtf8(bytes);
    m_hasGuide = !html.isEmpty();
    m_browser->setHtml(html);

    // Sections are the guide's <h2 id="..."> headings and what follows them.
    static const QRegularExpression heading(QStringLiteral("<h2 id=\"([^\"]+)\">(.*?)</h2>"));
    QRegularExpressionMatchIterator it = heading.globalMatch(html);
    QList<QRegularExpressionMatch> matches;
    while (it.hasNext())
        matches << it.next();
    for (int i = 0; i < matches.size(); ++i) {
        const qsizetype start = matches[i].capturedEnd();
        const qsizetype end = i + 1 < matches.size() ? matches[i + 1].capturedStart() : html.size();
        QTextDocument doc;
        doc.setHtml(html.mid(start, end - start));
        QTextDocument title;
        title.setHtml(matches[i].captured(2));
        m_sections.append({matches[i].captured(1), title.toPlainText(), doc.toPlainText()});
    }
    for (const Section &s : m_sections) {
        auto *item = new QListWidgetItem(s.title, m_contents);
        item->setData(Qt::UserRole, s.anchor);
    }
    connect(m_contents, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *item) {
        if (item)
            m_browser->scrollToAnchor(item->data(Qt::UserRole).toString());
    });
    connect(m_search, &QLineEdit::textChanged, this, &HelpWindow::search);
}

void HelpWindow::showContents()
{
    m_search->clear();
    show();
    raise();
    m_contents->setFocus();
}

void HelpWindow::showSearch()
{
    show();
    raise();
    m_search->setFocus();
    m_search->selectAll();
}

QStringList HelpWindow::matchingSections(const QString &words) const
{
    const QStringList needles = words.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList found;
    for (const Section &s : m_sections) {
        const QString haystack = s.title + QLatin1Char(' ') + s.text;
        const bool all = std::all_of(needles.begin(), needles.end(), [&](const QString &w) {
            return haystack.contains(w, Qt::CaseInsensitive);
        });
        if (all)
            found << s.title;
    }
    return found;
}

void HelpWindow::search(const QString &words)
{
    const QStringList found = matchingSections(words);
    for (int i = 0; i < m_contents->count(); ++i)
        m_contents->item(i)->setHidden(!found.contains(m_contents->item(i)->text()));
    const QStringList needles = words.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (!needles.isEmpty()) {
        m_browser->moveCursor(QTextCursor::Start);
        m_browser->find(needles.first());
    }
}
