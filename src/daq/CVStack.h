#pragma once

#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

// A stack of text entries, as the formula evaluator uses it for its output
// sequence, its operator stack and its operand stack. Position 1 is the top:
// a push goes before position 1, so the raw list runs from the newest entry
// to the oldest.
class CVStack
{
public:
    void Push(std::string_view text) { m_entries.emplace_back(text); }
    void Push(std::string &&text) { m_entries.push_back(std::move(text)); }
    void Push(const char *text) { m_entries.emplace_back(text); }
    // Removes and returns the top; "" with nothing changed when empty.
    std::string Pop();
    // The top without removing it; "" when empty. Valid until the next change.
    std::string_view Top() const
    {
        return m_entries.empty() ? std::string_view() : std::string_view(m_entries.back());
    }
    // Replaces the top by the top followed by text (12 and 5 give 125);
    // nothing when empty.
    void AddToTop(std::string_view text)
    {
        if (!m_entries.empty())
            m_entries.back().append(text);
    }
    bool IsEmpty() const { return m_entries.empty(); }
    void Clear() { m_entries.clear(); }
    int Count() const { return static_cast<int>(m_entries.size()); }

    // The underlying list, top first.
    QStringList GetRawStack() const;

    // Entry `age` counted from the oldest (0) to the newest (Count() - 1),
    // the order in which the postfix sequence is evaluated.
    const std::string &FromOldest(int age) const { return m_entries[static_cast<std::size_t>(age)]; }

private:
    std::vector<std::string> m_entries; // oldest first; the top is the back
};
