// SPDX-License-Identifier: GPL-3.0-or-later
// luvana_screensize <width>x<height>: gives the X screen (Xvfb's one output) another size, as a
// laptop does when it is plugged into a board or unplugged from it. Xvfb knows one mode, that of
// its start, so the new one is made here; it is kept after this client leaves, or the server
// would take it back and the screen with it.
#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char *argv[])
{
    int width = 0;
    int height = 0;
    if (argc != 2 || std::sscanf(argv[1], "%dx%d", &width, &height) != 2 || width <= 0
        || height <= 0) {
        std::fprintf(stderr, "usage: luvana_screensize <width>x<height>\n");
        return 2;
    }
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "luvana_screensize: no X display\n");
        return 1;
    }
    xcb_set_close_down_mode(connection, XCB_CLOSE_DOWN_RETAIN_PERMANENT);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    xcb_randr_get_screen_resources_current_reply_t
            *resources = xcb_randr_get_screen_resources_current_reply(
                    connection, xcb_randr_get_screen_resources_current(connection, screen->root),
                    nullptr);
    if (!resources || xcb_randr_get_screen_resources_current_outputs_length(resources) < 1
        || xcb_randr_get_screen_resources_current_crtcs_length(resources) < 1) {
        std::fprintf(stderr, "luvana_screensize: the screen has no output to resize\n");
        return 1;
    }
    xcb_randr_output_t output = xcb_randr_get_screen_resources_current_outputs(resources)[0];
    const xcb_randr_crtc_t crtc = xcb_randr_get_screen_resources_current_crtcs(resources)[0];

    // A mode of that size if the server has one, or a new one given to the output.
    xcb_randr_mode_t mode = XCB_NONE;
    const xcb_randr_mode_info_t *modes = xcb_randr_get_screen_resources_current_modes(resources);
    for (int i = 0; i < xcb_randr_get_screen_resources_current_modes_length(resources); ++i) {
        if (modes[i].width == width && modes[i].height == height)
            mode = modes[i].id;
    }
    if (mode == XCB_NONE) {
        const std::string name = std::to_string(width) + "x" + std::to_string(height);
        xcb_randr_mode_info_t info {};
        info.width = uint16_t(width);
        info.height = uint16_t(height);
        info.dot_clock = 60u * uint32_t(width) * uint32_t(height);
        info.hsync_start = info.hsync_end = info.htotal = uint16_t(width);
        info.vsync_start = info.vsync_end = info.vtotal = uint16_t(height);
        info.name_len = uint16_t(name.size());
        xcb_randr_create_mode_reply_t *created = xcb_randr_create_mode_reply(
                connection,
                xcb_randr_create_mode(connection, screen->root, info, uint32_t(name.size()),
                                      name.data()),
                nullptr);
        if (!created) {
            std::fprintf(stderr, "luvana_screensize: the server refused a mode of that size\n");
            return 1;
        }
        mode = created->mode;
        std::free(created);
        xcb_randr_add_output_mode(connection, output, mode);
    }

    // The screen grows before the output shows more of it, and shrinks after it shows less.
    const bool grows = width > screen->width_in_pixels || height > screen->height_in_pixels;
    const auto resizeScreen = [&] {
        // Millimetres as at 96 dots per inch.
        xcb_generic_error_t *error = xcb_request_check(
                connection,
                xcb_randr_set_screen_size_checked(connection, screen->root, uint16_t(width),
                                                  uint16_t(height), uint32_t(width * 254 / 960),
                                                  uint32_t(height * 254 / 960)));
        const bool resized = error == nullptr;
        std::free(error);
        return resized;
    };
    if (grows && !resizeScreen()) {
        std::fprintf(stderr, "luvana_screensize: the screen cannot grow to that size\n");
        return 1;
    }
    xcb_randr_set_crtc_config_reply_t *set = xcb_randr_set_crtc_config_reply(
            connection,
            xcb_randr_set_crtc_config(connection, crtc, XCB_CURRENT_TIME,
                                      resources->config_timestamp, 0, 0, mode,
                                      XCB_RANDR_ROTATION_ROTATE_0, 1, &output),
            nullptr);
    const bool shown = set && set->status == XCB_RANDR_SET_CONFIG_SUCCESS;
    std::free(set);
    if (!shown || (!grows && !resizeScreen())) {
        std::fprintf(stderr, "luvana_screensize: the screen cannot show that size\n");
        return 1;
    }
    std::free(resources);
    xcb_disconnect(connection);
    return 0;
}
