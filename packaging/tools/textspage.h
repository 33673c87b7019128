// SPDX-License-Identifier: GPL-3.0-or-later

// The page of dictation texts that the "Textos a la Web" button opens: every sample dictation's
// title, reading text (or picture) and questions, in Catalan. It is built from the sample files
// themselves during the build, so the page can never tell a pupil something a sample does not
// hold.
#pragma once

#include "dictation/format.h"

#include <QList>
#include <QString>

namespace textspage {

struct Entry
{
    // The dictation's file name (tardor.dtd); its base names the page's anchor for it.
    QString fileName;
    dictation::Dictation dictation;
};

// A whole HTML document, UTF-8 once encoded. Texts are escaped; empty items are left out;
// a picture item 1 is shown with the picture beside the page.
QString pageHtml(const QList<Entry> &entries);

} // namespace textspage
