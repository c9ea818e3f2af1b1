// Asks an X window whether its program still handles events, as a desktop does before it
// offers to end a program that hangs: sends the window the ping of the window-manager
// protocols and waits for the program's answer, which it sends to the root window.
// Usage: qv_xping WINDOW-ID TIMEOUT-MS   (exit 0: answered; 1: no answer in time; 2: usage
// or no X server).
#include <xcb/xcb.h>

#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

bool IsAnswer(const xcb_generic_event_t* event, xcb_atom_t protocols, xcb_atom_t ping, uint32_t token)
{
    if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE)
        return false;
    const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
    return message->type == protocols && message->format == 32 && message->data.data32[0] == ping &&
           message->data.data32[3] == token;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s WINDOW-ID TIMEOUT-MS\n", argv[0]);
        return 2;
    }
    const auto window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
    const int timeoutMs = std::atoi(argv[2]);
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection) != 0) {
        std::fprintf(stderr, "qv_xping: no X server\n");
        return 2;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    const xcb_atom_t protocols = Atom(connection, "WM_PROTOCOLS");
    const xcb_atom_t ping = Atom(connection, "_NET_WM_PING");

    // The answer goes to the root window for its structure listeners, which any number of
    // clients may be.
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);

    const uint32_t token = static_cast<uint32_t>(
        std::chrono::steady_clock::now().time_since_epoch().count() & 0x7FFFFFFF);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = protocols;
    // No time stamp (the program would take it for the server's time); the answer comes
    // back whole, with the token that tells it from an answer to another ping.
    message.data.data32[0] = ping;
    message.data.data32[1] = XCB_CURRENT_TIME;
    message.data.data32[2] = window;
    message.data.data32[3] = token;
    xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    xcb_flush(connection);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int answered = 1;
    while (answered != 0) {
        std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(xcb_poll_for_event(connection),
                                                                        &std::free);
        if (event) {
            if (IsAnswer(event.get(), protocols, ping, token))
                answered = 0;
            continue;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || xcb_connection_has_error(connection) != 0)
            break;
        pollfd ready{xcb_get_file_descriptor(connection), POLLIN, 0};
        ::poll(&ready, 1, static_cast<int>(left.count()));
    }
    xcb_disconnect(connection);
    return answered;
}
