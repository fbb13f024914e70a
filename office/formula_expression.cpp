#include "office/formula_expression.h"

#include <charconv>
#include <cmath>
#include <utility>

#include "office/sheet_limits.h"

namespace zorbix::office {
namespace {

constexpr int kMaxDepth = 64;  // nesting that no total needs, and no stack can fear

struct Reference {
    int row = 0;
    int column = 0;
};

// Recursive descent over one formula; any unknown construct ends the
// evaluation without a value.
class Parser {
public:
    Parser(std::string_view text, FormulaCells& cells) : text_(text), cells_(cells) {}

    std::optional<double> Whole() {
        Skip('=');
        std::optional<double> value = Sum(0);
        Blanks();
        if (!value || position_ != text_.size() || !std::isfinite(*value)) return std::nullopt;
        return value;
    }

private:
    std::optional<double> Sum(int depth) {
        std::optional<double> value = Product(depth);
        while (value) {
            Blanks();
            if (Skip('+')) {
                const auto right = Product(depth);
                value = right ? std::optional(*value + *right) : std::nullopt;
            } else if (Skip('-')) {
                const auto right = Product(depth);
                value = right ? std::optional(*value - *right) : std::nullopt;
            } else {
                break;
            }
        }
        return value;
    }

    std::optional<double> Product(int depth) {
        std::optional<double> value = Unary(depth);
        while (value) {
            Blanks();
            if (Skip('*')) {
                const auto right = Unary(depth);
                value = right ? std::optional(*value * *right) : std::nullopt;
            } else if (Skip('/')) {
                const auto right = Unary(depth);
                value = right && *right != 0 ? std::optional(*value / *right) : std::nullopt;
            } else {
                break;
            }
        }
        return value;
    }

    std::optional<double> Unary(int depth) {
        if (depth > kMaxDepth) return std::nullopt;
        Blanks();
        if (Skip('-')) {
            const auto value = Unary(depth + 1);
            return value ? std::optional(-*value) : std::nullopt;
        }
        if (Skip('+')) return Unary(depth + 1);
        return Primary(depth);
    }

    std::optional<double> Primary(int depth) {
        Blanks();
        if (Skip('(')) {
            const auto value = Sum(depth + 1);
            Blanks();
            return value && Skip(')') ? value : std::nullopt;
        }
        if (position_ < text_.size() && (IsDigit(text_[position_]) || text_[position_] == '.'))
            return Number();
        if (SkipWord("SUM(")) return SumFunction(depth);
        const auto reference = CellReference();
        if (!reference) return std::nullopt;
        return cells_.Value(reference->row, reference->column);
    }

    // SUM(a; b; ...) with cells, ranges and expressions as arguments.
    std::optional<double> SumFunction(int depth) {
        std::vector<double> terms;
        Blanks();
        if (!Skip(')')) {
            do {
                if (!SumArgument(depth, terms)) return std::nullopt;
                Blanks();
            } while (Skip(','));
            if (!Skip(')')) return std::nullopt;
        }
        return CompensatedSum(terms);
    }

    bool SumArgument(int depth, std::vector<double>& terms) {
        Blanks();
        const std::size_t start = position_;
        if (const auto first = CellReference(); first && Skip(':')) {
            const auto last = CellReference();
            if (!last) return false;
            const auto numbers = cells_.Numbers(
                std::min(first->row, last->row), std::min(first->column, last->column),
                std::max(first->row, last->row), std::max(first->column, last->column));
            if (!numbers) return false;
            terms.insert(terms.end(), numbers->begin(), numbers->end());
            return true;
        }
        position_ = start;
        const auto value = Sum(depth + 1);
        if (value) terms.push_back(*value);
        return value.has_value();
    }

    // Compensated (Neumaier) summation, as spreadsheet programs sum ranges.
    static double CompensatedSum(const std::vector<double>& terms) {
        double sum = 0;
        double compensation = 0;
        for (double term : terms) {
            const double next = sum + term;
            compensation +=
                std::fabs(sum) >= std::fabs(term) ? (sum - next) + term : (term - next) + sum;
            sum = next;
        }
        return sum + compensation;
    }

    std::optional<double> Number() {
        double value = 0;
        const char* begin = text_.data() + position_;
        const auto [end, error] = std::from_chars(begin, text_.data() + text_.size(), value);
        if (error != std::errc()) return std::nullopt;
        position_ += static_cast<std::size_t>(end - begin);
        return value;
    }

    std::optional<Reference> CellReference() {
        Blanks();
        Skip('$');
        long column = 0;
        for (; position_ < text_.size() && IsLetter(text_[position_]) && column <= kMaxSheetColumns;
             ++position_)
            column = column * 26 + (Upper(text_[position_]) - 'A' + 1);
        Skip('$');
        long row = 0;
        std::size_t digits = 0;
        for (; position_ < text_.size() && IsDigit(text_[position_]) && row <= kMaxSheetRows;
             ++position_, ++digits)
            row = row * 10 + (text_[position_] - '0');
        if (column < 1 || column > kMaxSheetColumns || digits == 0 || row < 1 ||
            row > kMaxSheetRows)
            return std::nullopt;
        // A name or a function call that merely starts like a reference.
        if (position_ < text_.size() &&
            (IsLetter(text_[position_]) || text_[position_] == '(' || text_[position_] == '!'))
            return std::nullopt;
        return Reference{static_cast<int>(row), static_cast<int>(column)};
    }

    bool SkipWord(std::string_view word) {
        if (text_.size() - position_ < word.size()) return false;
        for (std::size_t i = 0; i < word.size(); ++i)
            if (Upper(text_[position_ + i]) != word[i]) return false;
        position_ += word.size();
        return true;
    }

    bool Skip(char c) {
        if (position_ < text_.size() && text_[position_] == c) {
            ++position_;
            return true;
        }
        return false;
    }

    void Blanks() {
        while (position_ < text_.size() && text_[position_] == ' ') ++position_;
    }

    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    static bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
    static char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

    std::string_view text_;
    FormulaCells& cells_;
    std::size_t position_ = 0;
};

}  // namespace

std::optional<double> EvaluateFormula(std::string_view formula, FormulaCells& cells) {
    return Parser(formula, cells).Whole();
}

}  // namespace zorbix::office
