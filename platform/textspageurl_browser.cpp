// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/textspageurl.h"

#include <emscripten/val.h>

#include <string>

QUrl textsPageUrl()
{
    // The samples lie in dictats/ beside luvana.html on the site (packaging/wasm/site.cmake).
    const emscripten::val location = emscripten::val::global("location");
    return QUrl(QString::fromStdString(location["href"].as<std::string>()))
            .resolved(QUrl(QStringLiteral("dictats/textos.html")));
}
