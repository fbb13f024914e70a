#include "screen/text_limit_validator.h"

#include <algorithm>

#include "base/gbk.h"

namespace zorbix::screen {
namespace {

// Length of the common start of two texts, never splitting a surrogate pair.
int CommonPrefix(const QString& a, const QString& b) {
    int n = 0;
    const int most = static_cast<int>(std::min(a.size(), b.size()));
    while (n < most && a[n] == b[n]) ++n;
    if (n > 0 && a[n - 1].isHighSurrogate()) --n;
    return n;
}

// Length of the common end of two texts, not reaching into the first `keep`
// characters of either.
int CommonSuffix(const QString& a, const QString& b, int keep) {
    int n = 0;
    const int most = static_cast<int>(std::min(a.size(), b.size())) - keep;
    while (n < most && a[a.size() - 1 - n] == b[b.size() - 1 - n]) ++n;
    if (n > 0 && a[a.size() - n].isLowSurrogate()) --n;
    return n;
}

// A character the exchange file can carry: GBK holds it.
bool GbkHolds(const QString& character) {
    try {
        base::ToGbk(character.toStdString());
        return true;
    } catch (const base::GbkError&) {
        return false;
    }
}

// What is typed or pasted keeps only what the store may hold: no control
// characters and nothing GBK cannot hold (an emoji, say), which the
// exchange file could not carry.
QString KeepAllowed(const QString& inserted, bool digits_only) {
    QString kept;
    for (qsizetype i = 0; i < inserted.size(); ++i) {
        const QChar c = inserted[i];
        if (digits_only) {
            if (c >= u'0' && c <= u'9') kept += c;
            continue;
        }
        const bool pair = c.isHighSurrogate() && i + 1 < inserted.size();
        const QString character = pair ? inserted.mid(i, 2) : QString(c);
        if (pair) ++i;
        if (c.category() == QChar::Other_Control) continue;
        if (c.unicode() >= 0x80 && !GbkHolds(character)) continue;
        kept += character;
    }
    return kept;
}

}  // namespace

int GbkBytes(const QString& text) { return static_cast<int>(base::GbkLength(text.toStdString())); }

TextLimitValidator::TextLimitValidator(int max_bytes, bool digits_only, QObject* parent)
    : QValidator(parent), max_bytes_(max_bytes), digits_only_(digits_only) {}

QValidator::State TextLimitValidator::validate(QString& input, int& pos) const {
    if (input == accepted_) return Acceptable;
    const int prefix = CommonPrefix(accepted_, input);
    const int suffix = CommonSuffix(accepted_, input, prefix);
    const QString typed = input.mid(prefix, input.size() - prefix - suffix);
    QString inserted = KeepAllowed(typed, digits_only_);
    const QString rest = input.left(prefix) + input.right(suffix);
    if (max_bytes_ > 0) {
        const int limit = std::max(max_bytes_, GbkBytes(accepted_));
        const int room = std::max(0, limit - GbkBytes(rest));
        inserted = QString::fromStdString(base::CutToGbkBytes(inserted.toStdString(), room));
    }
    if (inserted != typed) {
        input = input.left(prefix) + inserted + input.right(suffix);
        pos = prefix + static_cast<int>(inserted.size());
    }
    accepted_ = input;
    return Acceptable;
}

}  // namespace zorbix::screen
