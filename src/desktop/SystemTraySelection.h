#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <cstdint>

// Whether an X11 system tray (XEmbed) owns its selection on the program's screen, learnt from the X
// server's notices of that selection changing hands (XFixes), read on Qt's own connection. Never owned
// off X11.
class SystemTraySelection final : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    explicit SystemTraySelection(QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(SystemTraySelection)

    bool isOwned() const { return owned_; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

Q_SIGNALS:
    void changed();

private:
    std::uint32_t selection_ = 0;
    // The event number of XFixes' selection notice on this connection; 0 when there is none.
    std::uint8_t notifyEvent_ = 0;
    bool owned_ = false;
};
