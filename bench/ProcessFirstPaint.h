// A whole program timed from its start to the first paint of its window that the X server
// shows: the program is started on the display in DISPLAY, and every top-level window made
// on that display is watched with the X server's DAMAGE extension from its creation on, so
// that the first drawing into a window of the program's own process (its _NET_WM_PID) ends
// the time. The program is stopped afterwards. Nothing inside the program is asked, so our
// real program and a peer's are timed alike, loading their libraries included.
#pragma once

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

struct TFirstPaint {
    bool Painted = false;
    double Ms = 0;        // from the start of the program to the first paint shown
    double MappedMs = 0;  // to the mapping of the painted window
    int Width = 0;  // of the painted window
    int Height = 0;
};

class TProcessPaintWatch {
public:
    TProcessPaintWatch()
    {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_) != 0) {
            error_ = "cannot connect to the X server";
            return;
        }
        const xcb_query_extension_reply_t* damage = xcb_get_extension_data(connection_, &xcb_damage_id);
        if (damage == nullptr || damage->present == 0) {
            error_ = "the X server has no DAMAGE extension";
            return;
        }
        damageEvent_ = damage->first_event + XCB_DAMAGE_NOTIFY;
        std::free(xcb_damage_query_version_reply(
            connection_, xcb_damage_query_version(connection_, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION),
            nullptr));
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        xcb_intern_atom_reply_t* atom =
            xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, 11, "_NET_WM_PID"), nullptr);
        if (atom != nullptr) {
            pidAtom_ = atom->atom;
            std::free(atom);
        }
        xcb_flush(connection_);
    }
    ~TProcessPaintWatch() { xcb_disconnect(connection_); }
    TProcessPaintWatch(const TProcessPaintWatch&) = delete;
    TProcessPaintWatch& operator=(const TProcessPaintWatch&) = delete;

    // Empty when the watch can run.
    const std::string& Error() const { return error_; }

    // Starts Argv (the program's path first), waits up to TimeoutMs for its first paint,
    // then stops it.
    TFirstPaint Run(const std::vector<std::string>& Argv, double TimeoutMs)
    {
        TFirstPaint result;
        if (!error_.empty())
            return result;
        Drain();
        std::vector<char*> args;
        for (const std::string& arg : Argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        if (posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) {
            std::fprintf(stderr, "cannot start %s\n", args[0]);
            return result;
        }
        std::vector<xcb_damage_damage_t> damages;
        std::vector<std::pair<xcb_window_t, double>> mapTimes;
        const int fd = xcb_get_file_descriptor(connection_);
        for (;;) {
            const double elapsed = MsSince(start);
            if (elapsed > TimeoutMs)
                break;
            pollfd wait{fd, POLLIN, 0};
            ::poll(&wait, 1, static_cast<int>(TimeoutMs - elapsed) + 1);
            bool done = false;
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                const uint8_t type = event->response_type & 0x7F;
                if (type == XCB_CREATE_NOTIFY) {
                    // Watched from its creation, before it can be mapped and drawn.
                    const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
                    const xcb_damage_damage_t damage = xcb_generate_id(connection_);
                    xcb_damage_create(connection_, damage, created->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                    damages.push_back(damage);
                    xcb_flush(connection_);
                } else if (type == XCB_MAP_NOTIFY) {
                    const auto* mapped = reinterpret_cast<xcb_map_notify_event_t*>(event);
                    mapTimes.emplace_back(mapped->window, MsSince(start));
                } else if (type == damageEvent_ && !done) {
                    const auto* drawn = reinterpret_cast<xcb_damage_notify_event_t*>(event);
                    if (OwnedBy(drawn->drawable, pid)) {
                        result.Painted = true;
                        result.Ms = MsSince(start);
                        result.Width = drawn->geometry.width;
                        result.Height = drawn->geometry.height;
                        for (const auto& [window, ms] : mapTimes)
                            if (window == drawn->drawable)
                                result.MappedMs = ms;
                        done = true;
                    }
                }
                std::free(event);
            }
            if (done || xcb_connection_has_error(connection_) != 0)
                break;
        }
        for (const xcb_damage_damage_t damage : damages)
            xcb_damage_destroy(connection_, damage);
        xcb_flush(connection_);
        Stop(pid);
        Drain();
        return result;
    }

private:
    static double MsSince(std::chrono::steady_clock::time_point Start)
    {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count();
    }

    bool OwnedBy(xcb_window_t Window, pid_t Pid)
    {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, Window, pidAtom_, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        bool owned = false;
        if (reply != nullptr && xcb_get_property_value_length(reply) == 4) {
            uint32_t value = 0;
            std::memcpy(&value, xcb_get_property_value(reply), 4);
            owned = static_cast<pid_t>(value) == Pid;
        }
        std::free(reply);
        return owned;
    }

    // Ends the program: asked first, then forced after 5 s.
    static void Stop(pid_t Pid)
    {
        ::kill(Pid, SIGTERM);
        for (int i = 0; i < 500; ++i) {
            if (::waitpid(Pid, nullptr, WNOHANG) == Pid)
                return;
            ::usleep(10000);
        }
        ::kill(Pid, SIGKILL);
        ::waitpid(Pid, nullptr, 0);
    }

    // Drops the events (and errors of windows gone before they were watched) left over.
    void Drain()
    {
        Sync();
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_))
            std::free(event);
    }
    // A round trip: every event sent before it has arrived.
    void Sync()
    {
        std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

    xcb_connection_t* connection_ = nullptr;
    std::string error_;
    uint8_t damageEvent_ = 0;
    xcb_window_t root_ = 0;
    xcb_atom_t pidAtom_ = XCB_ATOM_NONE;
};
