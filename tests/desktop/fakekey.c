// SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
// SPDX-License-Identifier: GPL-3.0-or-later

// Presses and releases keys in a KWin session, through its fake-input
// protocol: xdotool reaches only X11 windows, and KWin has no other way in.
// Usage: fakekey KEYCODE... (Linux input key codes: 28 Return, 1 Escape)

#include "fake-input-client-protocol.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wayland-client.h>

static struct org_kde_kwin_fake_input *fakeInput;

static void addGlobal(void *data, struct wl_registry *registry, uint32_t name, const char *interface,
                      uint32_t version)
{
    (void)data;
    if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        fakeInput = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4);
}

static void removeGlobal(void *data, struct wl_registry *registry, uint32_t name)
{
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registryListener = {addGlobal, removeGlobal};

int main(int argc, char **argv)
{
    struct wl_display *display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "fakekey: no Wayland display\n");
        return 1;
    }
    struct wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, NULL);
    wl_display_roundtrip(display);
    if (!fakeInput) {
        fprintf(stderr, "fakekey: the compositor offers no fake input, version 4\n");
        wl_registry_destroy(registry);
        wl_display_disconnect(display);
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(fakeInput, "ordavex tests", "key presses of a test");
    for (int i = 1; i < argc; ++i) {
        uint32_t key = (uint32_t)strtoul(argv[i], NULL, 10);
        org_kde_kwin_fake_input_keyboard_key(fakeInput, key, WL_KEYBOARD_KEY_STATE_PRESSED);
        org_kde_kwin_fake_input_keyboard_key(fakeInput, key, WL_KEYBOARD_KEY_STATE_RELEASED);
    }
    wl_display_roundtrip(display);
    // Only the proxy goes: version 4 of the protocol has no destroy request.
    wl_proxy_destroy((struct wl_proxy *)fakeInput);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return 0;
}
