// tovo-weston-keyboard: a weston module for tests. Weston's headless back end has no input
// devices, so this adds a seat with a keyboard and types what it is told, through libweston's own
// input path (the shell gives the focus, clients get wl_keyboard events as from a real keyboard).
//
//     weston --backend=headless-backend.so --modules=/path/tovo-weston-keyboard.so
//     with TOVO_TEST_KEYBOARD=<folder>: the module makes the fifo <folder>/keys and reads lines
//         type <text>      the characters of <text> (US layout, shifted ones included)
//         key <keysym>     one key by its xkb name, e.g. Tab, Return
//     and appends to <folder>/events "focus <pid>" whenever the keyboard focus moves to a client
//     (0: none) and "typed <n>" after the n-th line.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <libweston/libweston.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// Exported by libweston 10 but declared only in its private back-end header.
extern "C" {
void weston_seat_init(struct weston_seat* seat, struct weston_compositor* ec,
                      const char* seat_name);
int weston_seat_init_keyboard(struct weston_seat* seat, struct xkb_keymap* keymap);
void notify_key(struct weston_seat* seat, const struct timespec* time, uint32_t key,
                enum wl_keyboard_key_state state, enum weston_key_state_update update_state);
}

namespace {

struct Keyboard {
    weston_seat seat{};
    wl_listener focusChanged{};
    int fifo = -1;
    std::string pending;
    std::string eventsPath;
    int lines = 0;
};

// evdev numbers are xkb's minus 8.
constexpr uint32_t evdevOffset = 8;
constexpr uint32_t keyLeftShift = 42;

void note(const Keyboard& keyboard, const std::string& line)
{
    if (FILE* events = std::fopen(keyboard.eventsPath.c_str(), "ae")) {
        std::fprintf(events, "%s\n", line.c_str());
        std::fclose(events);
    }
}

void press(Keyboard& keyboard, uint32_t key, bool shifted)
{
    timespec now{};
    weston_compositor_get_time(&now);
    const auto send = [&](uint32_t code, wl_keyboard_key_state state) {
        notify_key(&keyboard.seat, &now, code, state, STATE_UPDATE_AUTOMATIC);
    };
    if (shifted)
        send(keyLeftShift, WL_KEYBOARD_KEY_STATE_PRESSED);
    send(key, WL_KEYBOARD_KEY_STATE_PRESSED);
    send(key, WL_KEYBOARD_KEY_STATE_RELEASED);
    if (shifted)
        send(keyLeftShift, WL_KEYBOARD_KEY_STATE_RELEASED);
}

// The key and shift level that produce `wanted` in the seat's keymap; false when none does.
bool findKey(const Keyboard& keyboard, xkb_keysym_t wanted, uint32_t* key, bool* shifted)
{
    xkb_keymap* keymap = keyboard.seat.keyboard_state->xkb_info->keymap;
    for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap);
         code <= xkb_keymap_max_keycode(keymap); ++code) {
        for (xkb_level_index_t level = 0; level < 2; ++level) {
            const xkb_keysym_t* syms = nullptr;
            if (xkb_keymap_key_get_syms_by_level(keymap, code, 0, level, &syms) == 1 &&
                syms[0] == wanted) {
                *key = code - evdevOffset;
                *shifted = level == 1;
                return true;
            }
        }
    }
    return false;
}

void typeKeysym(Keyboard& keyboard, xkb_keysym_t keysym)
{
    uint32_t key = 0;
    bool shifted = false;
    if (keysym != XKB_KEY_NoSymbol && findKey(keyboard, keysym, &key, &shifted))
        press(keyboard, key, shifted);
    else
        note(keyboard, "unknown key");
}

void runLine(Keyboard& keyboard, const std::string& line)
{
    if (line.rfind("type ", 0) == 0) {
        // ASCII text: a keysym per character.
        for (const char c : line.substr(5))
            typeKeysym(keyboard, xkb_utf32_to_keysym(static_cast<unsigned char>(c)));
    } else if (line.rfind("key ", 0) == 0) {
        typeKeysym(keyboard, xkb_keysym_from_name(line.substr(4).c_str(), XKB_KEYSYM_NO_FLAGS));
    }
    note(keyboard, "typed " + std::to_string(++keyboard.lines));
}

int onFifoReadable(int fd, uint32_t /*mask*/, void* data)
{
    auto& keyboard = *static_cast<Keyboard*>(data);
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(fd, buffer, sizeof buffer)) > 0)
        keyboard.pending.append(buffer, static_cast<size_t>(got));
    for (size_t end = 0; (end = keyboard.pending.find('\n')) != std::string::npos;) {
        runLine(keyboard, keyboard.pending.substr(0, end));
        keyboard.pending.erase(0, end + 1);
    }
    return 0;
}

void onFocusChanged(wl_listener* listener, void* /*data*/)
{
    Keyboard* keyboard = wl_container_of(listener, keyboard, focusChanged);
    const weston_surface* focus = keyboard->seat.keyboard_state->focus;
    pid_t pid = 0;
    if (focus && focus->resource)
        wl_client_get_credentials(wl_resource_get_client(focus->resource), &pid, nullptr, nullptr);
    note(*keyboard, "focus " + std::to_string(pid));
}

} // namespace

extern "C" WL_EXPORT int wet_module_init(struct weston_compositor* compositor, int* /*argc*/,
                                         char* /*argv*/[])
{
    const char* folder = std::getenv("TOVO_TEST_KEYBOARD");
    if (!folder || !*folder) {
        weston_log("tovo-weston-keyboard: TOVO_TEST_KEYBOARD names no folder\n");
        return -1;
    }
    // Lives as long as the compositor.
    auto* keyboard = new Keyboard;
    keyboard->eventsPath = std::string(folder) + "/events";
    const std::string fifoPath = std::string(folder) + "/keys";
    if ((mkfifo(fifoPath.c_str(), 0600) != 0 && errno != EEXIST) ||
        // Opened for writing too, so the fifo never reports an end when a writer closes it.
        (keyboard->fifo = open(fifoPath.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC)) < 0) {
        weston_log("tovo-weston-keyboard: no fifo at %s: %s\n", fifoPath.c_str(),
                   std::strerror(errno));
        delete keyboard;
        return -1;
    }
    weston_seat_init(&keyboard->seat, compositor, "tovo-test");
    if (weston_seat_init_keyboard(&keyboard->seat, nullptr) < 0) {
        weston_log("tovo-weston-keyboard: no keymap\n");
        return -1;
    }
    keyboard->focusChanged.notify = onFocusChanged;
    wl_signal_add(&keyboard->seat.keyboard_state->focus_signal, &keyboard->focusChanged);
    wl_event_loop_add_fd(wl_display_get_event_loop(compositor->wl_display), keyboard->fifo,
                         WL_EVENT_READABLE, onFifoReadable, keyboard);
    return 0;
}
