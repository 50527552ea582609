#include "UnicodeText.h"

#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>
#include <vector>

// QString::normalized is quadratic twice over: it decomposes in place, moving the rest of the
// text for every decomposed character, and orders combining marks by swapping neighbours. A
// hostile text of either kind froze the main thread, so the canonical decomposition is built
// here, in one pass, from Qt's character data.

namespace {

bool isAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// The code point starting at `at`, which moves past it. A lone surrogate stands for itself.
char32_t nextCodePoint(QStringView text, qsizetype& at)
{
    const QChar c = text[at++];
    if (c.isHighSurrogate() && at < text.size() && text[at].isLowSurrogate())
        return QChar::surrogateToUcs4(c, text[at++]);
    return c.unicode();
}

// The full canonical decomposition of `c`, which has one. Qt hands out one level at a time, in a
// new string: the results are kept, per thread, for the two thousand characters concerned.
const std::u32string& fullDecomposition(char32_t c)
{
    thread_local std::unordered_map<char32_t, std::u32string> known;
    const auto [entry, isNew] = known.try_emplace(c);
    if (isNew) {
        const QString parts = QChar::decomposition(c);
        for (qsizetype at = 0; at < parts.size();) {
            const char32_t part = nextCodePoint(parts, at);
            if (QChar::decompositionTag(part) == QChar::Canonical)
                entry->second += fullDecomposition(part);
            else
                entry->second += part;
        }
    }
    return entry->second;
}

// Hands the full canonical decomposition of `c` to `sink`, one code point at a time.
template <typename Sink> void decompose(char32_t c, const Sink& sink)
{
    // Nothing below U+00C0 decomposes canonically.
    if (c < 0xc0 || QChar::decompositionTag(c) != QChar::Canonical) {
        sink(c);
        return;
    }
    // Hangul syllables decompose by arithmetic, and there are eleven thousand of them.
    static constexpr char32_t syllableBase = 0xac00, leadingBase = 0x1100, vowelBase = 0x1161,
                              trailingBase = 0x11a7, vowelCount = 21, trailingCount = 28,
                              syllableCount = 19 * vowelCount * trailingCount;
    if (c - syllableBase < syllableCount) {
        const char32_t index = c - syllableBase;
        sink(leadingBase + index / (vowelCount * trailingCount));
        sink(vowelBase + index % (vowelCount * trailingCount) / trailingCount);
        if (index % trailingCount != 0)
            sink(trailingBase + index % trailingCount);
        return;
    }
    for (const char32_t part : fullDecomposition(c))
        sink(part);
}

// Whether every code point of `text` decomposes to ASCII, giving exactly `ascii`: no other text
// can be equivalent to an ASCII one. Stops at the first code point that does not.
bool decomposesTo(QStringView text, QStringView ascii)
{
    qsizetype matched = 0;
    bool same = true;
    for (qsizetype at = 0; same && at < text.size();) {
        decompose(nextCodePoint(text, at), [&](char32_t c) {
            same = same && matched < ascii.size() && ascii[matched].unicode() == c;
            ++matched;
        });
    }
    return same && matched == ascii.size();
}

// The canonical decomposition with its combining marks in canonical order: each run of
// non-starters sorted by combining class, keeping the order of equal classes.
class Decomposition {
public:
    explicit Decomposition(qsizetype size) { m_text.reserve(size); }

    void append(char32_t c)
    {
        // Combining marks start at U+0300.
        const auto combiningClass = c < 0x300 ? quint8(0) : quint8(QChar::combiningClass(c));
        if (combiningClass == 0) {
            flushRun();
            appendCodePoint(c);
        } else {
            m_run.push_back({combiningClass, c});
        }
    }

    QString take()
    {
        flushRun();
        return std::move(m_text);
    }

private:
    struct Mark {
        quint8 combiningClass;
        char32_t codePoint;
    };

    void appendCodePoint(char32_t c)
    {
        if (QChar::requiresSurrogates(c)) {
            m_text.append(QChar(QChar::highSurrogate(c)));
            m_text.append(QChar(QChar::lowSurrogate(c)));
        } else {
            m_text.append(QChar(static_cast<char16_t>(c)));
        }
    }

    void flushRun()
    {
        sortRun();
        for (const Mark& mark : m_run)
            appendCodePoint(mark.codePoint);
        m_run.clear();
    }

    // Insertion sort for the short runs of real text, counting sort for long ones: either way
    // linear in the run.
    void sortRun()
    {
        static constexpr std::size_t longRun = 32;
        if (m_run.size() < longRun) {
            for (auto it = m_run.begin(); it != m_run.end(); ++it) {
                const Mark mark = *it;
                auto to = it;
                for (; to != m_run.begin() && (to - 1)->combiningClass > mark.combiningClass; --to)
                    *to = *(to - 1);
                *to = mark;
            }
            return;
        }
        std::array<std::size_t, 257> start{};
        for (const Mark& mark : m_run)
            ++start[mark.combiningClass + 1u];
        for (std::size_t i = 1; i < start.size(); ++i)
            start[i] += start[i - 1];
        m_sorted.resize(m_run.size());
        for (const Mark& mark : m_run)
            m_sorted[start[mark.combiningClass]++] = mark;
        m_run.swap(m_sorted);
    }

    QString m_text;
    std::vector<Mark> m_run;
    std::vector<Mark> m_sorted;
};

} // namespace

namespace UnicodeText {

bool equal(const QString& a, const QString& b)
{
    if (a == b)
        return true;
    // Most comparisons are against a fixed ASCII word.
    if (isAscii(b))
        return decomposesTo(a, b);
    if (isAscii(a))
        return decomposesTo(b, a);
    return canonical(a) == canonical(b);
}

QString canonical(const QString& text)
{
    // ASCII text is its own canonical decomposition.
    if (isAscii(text))
        return text;
    Decomposition decomposition(text.size());
    for (qsizetype at = 0; at < text.size();)
        decompose(nextCodePoint(text, at), [&](char32_t c) { decomposition.append(c); });
    return decomposition.take();
}

} // namespace UnicodeText
