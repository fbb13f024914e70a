// The length limit and key filter of a single-line field, as one validator
// that repairs the text instead of refusing it, so typing, pasting, an input
// method's commit and setText all pass the same rule.
//
// Limits count GBK bytes. A value longer than the limit that came from the
// store is kept whole: the validator only stops the text from growing past
// the larger of the limit and the length it had before the change.
#pragma once

#include <QString>
#include <QValidator>

namespace zorbix::screen {

class TextLimitValidator : public QValidator {
public:
    // max_bytes 0 = no limit; digits_only keeps "0" to "9" of what is typed.
    TextLimitValidator(int max_bytes, bool digits_only, QObject* parent);

    State validate(QString& input, int& pos) const override;

    // The text the field holds now, set when the program writes the field;
    // changes are measured against it.
    void SetAccepted(const QString& text) const { accepted_ = text; }

private:
    int max_bytes_;
    bool digits_only_;
    mutable QString accepted_;
};

// GBK bytes of a text, as the limits count them.
int GbkBytes(const QString& text);

}  // namespace zorbix::screen
