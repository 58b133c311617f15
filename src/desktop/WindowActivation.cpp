#include "WindowActivation.h"

#include <QGuiApplication>
#include <xcb/xcb.h>

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return value;
}

// The startup-notification message that ends the launch feedback of the start, in 20-byte pieces to
// the root window, as the startup-notification rules lay down.
void sendStartupRemoved(xcb_connection_t* connection, xcb_window_t window, const QByteArray& id)
{
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    QByteArray message = "remove: ID=\"" + QByteArray(id).replace('\\', "\\\\").replace('"', "\\\"") + '"';
    message.append('\0');
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 8;
    event.window = window;
    event.type = atom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atom(connection, "_NET_STARTUP_INFO");
    for (qsizetype at = 0; at < message.size(); at += 20) {
        std::fill(std::begin(event.data.data8), std::end(event.data.data8), 0);
        const QByteArray piece = message.mid(at, 20);
        std::copy(piece.begin(), piece.end(), event.data.data8);
        xcb_send_event(connection, 0, screen->root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char*>(&event));
        event.type = more;
    }
}

} // namespace

void prepareActivation(WId window, const QString& token, bool x11StartupId)
{
    if (token.isEmpty())
        return;
    if (!x11StartupId) {
        // Qt reads the token from here where it supports passing one on (6.5 and later).
        qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
        return;
    }
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    // Window managers weigh a request to activate against the time the start was asked for, which the id
    // carries; they read it from the window's own property.
    const auto id = xcb_window_t(window);
    const QByteArray bytes = token.toUtf8();
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom(connection, "_NET_STARTUP_ID"),
                        atom(connection, "UTF8_STRING"), 8, uint32_t(bytes.size()), bytes.constData());
    sendStartupRemoved(connection, id, bytes);
    xcb_flush(connection);
}
