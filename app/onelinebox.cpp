// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/onelinebox.h"

#include "dictation/format.h"

#include <QLineEdit>
#include <QValidator>

namespace {

// Every way text enters a QLineEdit passes its validator, which may rewrite the text.
class OneLineValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &position) const override
    {
        QString line = dictation::oneLine(input);
        if (line != input) {
            // A CR LF pair is one space: the cursor moves back by the characters dropped before it.
            position = int(dictation::oneLine(QStringView(input).first(position)).size());
            input = std::move(line);
        }
        return Acceptable;
    }
};

} // namespace

void keepOnOneLine(QLineEdit *box)
{
    box->setValidator(new OneLineValidator(box));
}
