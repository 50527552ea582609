#include "base/UnicodeText.h"

#include <algorithm>
#include <array>
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

// A code point with its canonical combining class: zero for a starter.
struct Mark {
    quint8 combiningClass;
    char32_t codePoint;
};

Mark markOf(char32_t c)
{
    // Combining marks start at U+0300.
    return {c < 0x300 ? quint8(0) : quint8(QChar::combiningClass(c)), c};
}

// The full canonical decomposition of `c`, which has one. Qt hands out one level at a time, in a
// new string: the results are kept, per thread, for the two thousand characters concerned.
const std::vector<Mark>& fullDecomposition(char32_t c)
{
    thread_local std::unordered_map<char32_t, std::vector<Mark>> known;
    const auto [entry, isNew] = known.try_emplace(c);
    if (isNew) {
        const QString parts = QChar::decomposition(c);
        for (qsizetype at = 0; at < parts.size();) {
            const char32_t part = nextCodePoint(parts, at);
            if (QChar::decompositionTag(part) == QChar::Canonical) {
                const std::vector<Mark>& inner = fullDecomposition(part);
                entry->second.insert(entry->second.end(), inner.begin(), inner.end());
            } else {
                entry->second.push_back(markOf(part));
            }
        }
    }
    return entry->second;
}

// Hands the full canonical decomposition of `c` to `sink`, one code point at a time.
template <typename Sink> void decompose(char32_t c, const Sink& sink)
{
    // Nothing below U+00C0 decomposes canonically.
    if (c < 0xc0 || QChar::decompositionTag(c) != QChar::Canonical) {
        sink(markOf(c));
        return;
    }
    // Hangul syllables decompose by arithmetic into letters that are starters, and there are
    // eleven thousand of them.
    static constexpr char32_t syllableBase = 0xac00, leadingBase = 0x1100, vowelBase = 0x1161,
                              trailingBase = 0x11a7, vowelCount = 21, trailingCount = 28,
                              syllableCount = 19 * vowelCount * trailingCount;
    if (c - syllableBase < syllableCount) {
        const char32_t index = c - syllableBase;
        sink(Mark{0, leadingBase + index / (vowelCount * trailingCount)});
        sink(Mark{0, vowelBase + index % (vowelCount * trailingCount) / trailingCount});
        if (index % trailingCount != 0)
            sink(Mark{0, trailingBase + index % trailingCount});
        return;
    }
    for (const Mark& part : fullDecomposition(c))
        sink(part);
}

// Whether every code point of `text` decomposes to ASCII, giving exactly `ascii`: no other text
// can be equivalent to an ASCII one. Stops at the first code point that does not.
bool decomposesTo(QStringView text, QStringView ascii)
{
    qsizetype matched = 0;
    bool same = true;
    for (qsizetype at = 0; same && at < text.size();) {
        decompose(nextCodePoint(text, at), [&](Mark part) {
            same = same && matched < ascii.size() && ascii[matched].unicode() == part.codePoint;
            ++matched;
        });
    }
    return same && matched == ascii.size();
}

// The canonical decomposition with its combining marks in canonical order: each run of
// non-starters sorted by combining class, keeping the order of equal classes.
class Decomposition {
public:
    // Starts with room for `size` code units, which an already decomposed text needs.
    explicit Decomposition(qsizetype size)
        : m_text(size, Qt::Uninitialized)
    {}

    void append(Mark mark)
    {
        if (mark.combiningClass == 0) {
            flushRun();
            appendCodePoint(mark.codePoint);
        } else {
            m_run.push_back(mark);
        }
    }

    QString take()
    {
        flushRun();
        m_text.truncate(m_size);
        // Keys are kept for the life of the process: no room to spare (a copy only when the
        // text grew).
        m_text.squeeze();
        return std::move(m_text);
    }

private:
    void appendCodePoint(char32_t c)
    {
        // Written in place: QString::append costs more than the rest of the work.
        if (m_size + (QChar::requiresSurrogates(c) ? 2 : 1) > m_text.size())
            m_text.resize(std::max<qsizetype>(2 * m_text.size(), 16));
        QChar* out = m_text.data() + m_size;
        if (QChar::requiresSurrogates(c)) {
            out[0] = QChar(QChar::highSurrogate(c));
            out[1] = QChar(QChar::lowSurrogate(c));
            m_size += 2;
        } else {
            out[0] = QChar(static_cast<char16_t>(c));
            ++m_size;
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
    qsizetype m_size = 0; // of m_text that is written
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
        decompose(nextCodePoint(text, at), [&](Mark part) { decomposition.append(part); });
    return decomposition.take();
}

} // namespace UnicodeText
