// Start-up probe: starts a program and watches the X server for its window, instead of polling
// window lists. Prints the milliseconds from fork to the window's MapNotify and from fork to its
// first paint (the first XDamage report on it), and the program's peak memory (VmHWM) once it has
// run on for a moment; then ends the program.
//
//     xprobe TITLE_REGEX SETTLE_MS -- COMMAND [ARG...]
//
// Prints one line "map_ms paint_ms peak_kib". Exits 1 when no window with a matching title (WM_NAME
// or _NET_WM_NAME) was mapped within 60 s.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

xcb_atom_t atom(xcb_connection_t* x, const char* name)
{
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, uint16_t(std::strlen(name)), name), nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::string property(xcb_connection_t* x, xcb_window_t window, xcb_atom_t name)
{
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(x, xcb_get_property(x, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr),
        &std::free);
    if (!reply)
        return {};
    return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                       size_t(xcb_get_property_value_length(reply.get())));
}

long peakKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

void endProgram(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 5 || std::strcmp(argv[3], "--") != 0) {
        std::fprintf(stderr, "usage: xprobe TITLE_REGEX SETTLE_MS -- COMMAND [ARG...]\n");
        return 2;
    }
    const std::regex title(argv[1]);
    const int settleMs = std::atoi(argv[2]);
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "xprobe: no X display\n");
        return 2;
    }
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(x, &xcb_damage_id);
    if (!damage || !damage->present) {
        std::fprintf(stderr, "xprobe: the X server has no DAMAGE extension\n");
        return 2;
    }
    std::free(xcb_damage_query_version_reply(x, xcb_damage_query_version(x, 1, 1), nullptr));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const xcb_atom_t netWmName = atom(x, "_NET_WM_NAME");
    // New top-level windows show up as children of the root window.
    const uint32_t rootEvents = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &rootEvents);
    xcb_flush(x);

    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        // Keep the figures line this program's only output.
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        execvp(argv[4], argv + 4);
        _exit(127);
    }

    std::set<xcb_window_t> watched;
    xcb_window_t target = XCB_WINDOW_NONE;
    double mapMs = -1;
    double paintMs = -1;
    const auto titled = [&](xcb_window_t window) {
        for (const xcb_atom_t name : {netWmName, xcb_atom_t(XCB_ATOM_WM_NAME)})
            if (std::regex_search(property(x, window, name), title))
                return true;
        return false;
    };
    const auto mapped = [&](xcb_window_t window) {
        if (target == XCB_WINDOW_NONE && titled(window)) {
            target = window;
            mapMs = msSince(start);
        }
    };
    const auto watch = [&](xcb_window_t window) {
        if (!watched.insert(window).second)
            return;
        const uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(x, window, XCB_CW_EVENT_MASK, &events);
        xcb_damage_create(x, xcb_generate_id(x), window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
        // It may have been mapped before the watch began.
        const Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(x, xcb_get_window_attributes(x, window), nullptr), &std::free);
        if (attributes && attributes->map_state != XCB_MAP_STATE_UNMAPPED)
            mapped(window);
    };

    while (paintMs < 0 && msSince(start) < 60'000) {
        xcb_flush(x);
        pollfd display{xcb_get_file_descriptor(x), POLLIN, 0};
        poll(&display, 1, 100);
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            const uint8_t type = event->response_type & 0x7f;
            if (type == XCB_CREATE_NOTIFY) {
                watch(reinterpret_cast<xcb_create_notify_event_t*>(event)->window);
            } else if (type == XCB_MAP_NOTIFY) {
                const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                if (watched.count(map->window))
                    mapped(map->window);
            } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY) {
                const auto* drawn = reinterpret_cast<xcb_damage_notify_event_t*>(event);
                if (target != XCB_WINDOW_NONE && drawn->drawable == target && paintMs < 0)
                    paintMs = msSince(start);
            }
            std::free(event);
        }
        if (xcb_connection_has_error(x) || waitpid(pid, nullptr, WNOHANG) == pid)
            break;
    }

    std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
    const long peak = peakKiB(pid);
    endProgram(pid);
    xcb_disconnect(x);
    std::printf("%.1f %.1f %ld\n", mapMs, paintMs, peak);
    return target == XCB_WINDOW_NONE ? 1 : 0;
}
