#pragma once

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

// Stands in for the desktop while it lives: the file: addresses a window hands over are kept here
// instead of starting a file manager or viewer. A refusing one opens nothing and says so, as a desktop
// without a file manager does.
class UrlCatcher final : public QObject
{
    Q_OBJECT

public:
    enum class Desktop
    {
        Opens,
        Refuses
    };
    explicit UrlCatcher(Desktop desktop = Desktop::Opens)
    {
        // Qt reports a handler it cannot call as a failed open.
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, desktop == Desktop::Opens ? "open" : "none");
    }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    QList<QUrl> urls;

public Q_SLOTS:
    void open(const QUrl& url) { urls << url; }
};
