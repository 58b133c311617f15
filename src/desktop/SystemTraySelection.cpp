#include "SystemTraySelection.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <X11/Xlib.h>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

namespace {

struct FreeReply
{
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

} // namespace

SystemTraySelection::SystemTraySelection(QObject* parent) : QObject(parent)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    // Qt's X11 platform has made XFixes ready on this connection for its clipboard.
    const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(connection, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present)
        return;

    const int screenNumber = x11->display() ? DefaultScreen(x11->display()) : 0;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 1; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;

    const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(screenNumber);
    const ReplyPtr<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.constData()), nullptr));
    if (!atom)
        return;
    selection_ = atom->atom;
    notifyEvent_ = static_cast<std::uint8_t>(xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY);

    // Notices go to this client for this window and selection alone; Qt's own event masks stay as they are.
    xcb_xfixes_select_selection_input(connection, root, selection_,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    QCoreApplication::instance()->installNativeEventFilter(this);
    // Asked after the notices were asked for, so that no change falls between the two.
    const ReplyPtr<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection_), nullptr));
    owned_ = owner && owner->owner != XCB_NONE;
}

bool SystemTraySelection::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (notifyEvent_ == 0 || eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != notifyEvent_)
        return false;
    const auto* notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
    if (notify->selection != selection_)
        return false;
    // The owner is none when the tray's window or client went.
    const bool owned = notify->owner != XCB_NONE;
    if (owned != owned_) {
        owned_ = owned;
        Q_EMIT changed();
    }
    // Qt sees it too; it ignores selections that are not its clipboard's.
    return false;
}
