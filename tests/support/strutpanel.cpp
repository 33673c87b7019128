// SPDX-License-Identifier: GPL-3.0-or-later
// luvana_strutpanel <height>: a bar along the bottom of the X screen that reserves its height
// through _NET_WM_STRUT_PARTIAL, as a desktop's task bar does, so that the window manager
// shrinks the screen's work area. It stays until it is killed.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return found;
}

} // namespace

int main(int argc, char *argv[])
{
    const int height = argc == 2 ? std::atoi(argv[1]) : 0;
    if (height <= 0) {
        std::fprintf(stderr, "usage: luvana_strutpanel <height in pixels>\n");
        return 2;
    }
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "luvana_strutpanel: no X display\n");
        return 1;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_screen_t *screen = screens.data;
    const int width = screen->width_in_pixels;
    const int top = screen->height_in_pixels - height;

    const xcb_window_t window = xcb_generate_id(connection);
    const uint32_t values[] = {0x303030};
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, int16_t(top),
                      uint16_t(width), uint16_t(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXEL, values);

    const xcb_atom_t type = atom(connection, "_NET_WM_WINDOW_TYPE");
    const xcb_atom_t dock = atom(connection, "_NET_WM_WINDOW_TYPE_DOCK");
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, type, XCB_ATOM_ATOM, 32, 1,
                        &dock);
    // left, right, top, bottom, then the start and end of each along its edge
    const uint32_t strut[12] = {0, 0, 0, uint32_t(height),   0, 0, 0, 0,
                                0, 0, 0, uint32_t(width - 1)};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window,
                        atom(connection, "_NET_WM_STRUT_PARTIAL"), XCB_ATOM_CARDINAL, 32, 12,
                        strut);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window,
                        atom(connection, "_NET_WM_STRUT"), XCB_ATOM_CARDINAL, 32, 4, strut);
    // WM_NORMAL_HINTS: the position is the program's own, at the bottom edge.
    uint32_t hints[18] = {};
    hints[0] = (1 << 0) | (1 << 2); // USPosition, PPosition
    hints[1] = 0;
    hints[2] = uint32_t(top);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
    const std::string name = "panel";
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME,
                        XCB_ATOM_STRING, 8, uint32_t(name.size()), name.data());
    xcb_map_window(connection, window);
    xcb_flush(connection);

    while (xcb_generic_event_t *event = xcb_wait_for_event(connection))
        std::free(event);
    xcb_disconnect(connection);
    return 0;
}
