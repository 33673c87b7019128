// SPDX-License-Identifier: GPL-3.0-or-later

// Where the "Textos a la Web" button sends the browser: the page of the samples' texts, on
// disk where the program finds its samples (platform/datapaths.h), or, in the browser version,
// on the site beside the program's own page, which can open no file of its own storage.
#pragma once

#include <QUrl>

QUrl textsPageUrl();
