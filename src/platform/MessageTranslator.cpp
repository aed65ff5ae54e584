#include "MessageTranslator.h"

#include <QString>
#include <QTranslator>
#include <algorithm>
#include <atomic>
#include <climits>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "Language.h"
#include "MessageTexts.h"

namespace zanfeld {

namespace {

// A text of the table as literal runs between its pieces.
struct Pattern {
    size_t index = 0;                   // in MessageTexts::all()
    std::vector<std::string> literals;  // one more than pieces; the inner ones never empty
    std::vector<int> pieces;            // the N of each %N, in the order they stand
    std::vector<char> kinds;            // 'T', 'N', 'R' or a group for each of them
    std::string groups;                 // the groups the text belongs to
    size_t literalBytes = 0;
};

struct Patterns {
    std::vector<Pattern> all;
    // Texts without pieces by their bytes, and the indices of those with
    // pieces, each by role.
    std::unordered_map<std::string_view, size_t> exact[3];
    size_t longestExact = 0;
    std::vector<size_t> withPieces[3];
};

size_t RoleIndex(MessageRole role) {
    return static_cast<size_t>(role == MessageRole::Line      ? 0
                               : role == MessageRole::Heading ? 1
                                                              : 2);
}

Pattern Compile(size_t index, const MessageText& text) {
    Pattern p;
    p.index = index;
    const std::string_view t(text.text);
    std::string literal;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '%' && i + 1 < t.size() && t[i + 1] >= '1' && t[i + 1] <= '9') {
            const int n = t[i + 1] - '0';
            p.literalBytes += literal.size();
            p.literals.push_back(std::move(literal));
            literal.clear();
            p.pieces.push_back(n);
            const std::string_view kinds(text.pieces);
            p.kinds.push_back(static_cast<size_t>(n) <= kinds.size() ? kinds[n - 1] : 'T');
            ++i;
            continue;
        }
        literal += t[i];
    }
    p.literalBytes += literal.size();
    p.literals.push_back(std::move(literal));
    p.groups = text.groups ? text.groups : "";
    return p;
}

const Patterns& CompiledPatterns() {
    static const Patterns patterns = [] {
        Patterns ps;
        const auto texts = MessageTexts::all();
        ps.all.reserve(texts.size());
        for (size_t i = 0; i < texts.size(); ++i) ps.all.push_back(Compile(i, texts[i]));
        for (size_t i = 0; i < ps.all.size(); ++i) {
            const size_t role = RoleIndex(texts[i].role);
            if (ps.all[i].pieces.empty()) {
                ps.exact[role].emplace(ps.all[i].literals[0], i);  // the first of equal texts
                ps.longestExact = std::max(ps.longestExact, ps.all[i].literals[0].size());
            } else {
                ps.withPieces[role].push_back(i);
            }
        }
        return ps;
    }();
    return patterns;
}

// The %N a text holds.
std::set<int> PieceNumbers(std::string_view text) {
    std::set<int> numbers;
    for (size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9')
            numbers.insert(text[i + 1] - '0');
    return numbers;
}

// Whether translation keeps every piece of text and adds none. A plural form
// may leave out the count ("One file ..."): its form tells it.
bool KeepsPieces(const MessageText& text, std::string_view translation) {
    std::set<int> wanted = PieceNumbers(text.text);
    std::set<int> held = PieceNumbers(translation);
    if (text.countPiece != 0) {
        wanted.erase(text.countPiece);
        held.erase(text.countPiece);
    }
    return wanted == held;
}

// A loaded catalogue: the translator and the translations of the texts
// without plural forms, looked up once.
class Catalogue {
  public:
    explicit Catalogue(std::unique_ptr<QTranslator> translator)
        : m_translator(std::move(translator)) {
        const auto texts = MessageTexts::all();
        m_texts.reserve(texts.size());
        for (const MessageText& text : texts)
            m_texts.push_back(text.countPiece != 0 ? std::string() : lookUp(text, -1));
    }

    // The translation of the text at index; n counts for plural forms.
    std::string text(size_t index, long long n) const {
        const MessageText& text = MessageTexts::all()[index];
        if (text.countPiece == 0) return m_texts[index];
        return lookUp(text, static_cast<int>(std::clamp<long long>(n, 0, INT_MAX)));
    }

    // The translation as the catalogue holds it, or "" when it holds none.
    std::string held(const MessageText& text, int n) const {
        const QString t = m_translator->translate(MessageTexts::kContext, text.text, nullptr, n);
        return t.isEmpty() ? std::string() : t.toStdString();
    }

  private:
    // A translation that lost or renumbered a piece would drop a path or a
    // number: the text is then shown as it is.
    std::string lookUp(const MessageText& text, int n) const {
        std::string t = held(text, n);
        return t.empty() || !KeepsPieces(text, t) ? std::string(text.text) : t;
    }

    std::unique_ptr<QTranslator> m_translator;
    std::vector<std::string> m_texts;
};

std::mutex g_mutex;
std::atomic<bool> g_loaded{false};

// The loaded catalogue. Never destroyed: its translator must not be torn down
// at exit after the Qt statics it uses (a resource's data).
std::shared_ptr<const Catalogue>& Loaded() {
    static auto* loaded = new std::shared_ptr<const Catalogue>();
    return *loaded;
}

std::shared_ptr<const Catalogue> CurrentCatalogue() {
    std::lock_guard lock(g_mutex);
    return Loaded();
}

void Publish(std::shared_ptr<const Catalogue> catalogue) {
    std::shared_ptr<const Catalogue> old;  // let go of outside the lock
    std::lock_guard lock(g_mutex);
    old = std::exchange(Loaded(), std::move(catalogue));
    g_loaded.store(Loaded() != nullptr, std::memory_order_release);
}

// One way to read part of a line as a text of the table.
struct Node {
    size_t pattern = 0;
    size_t coverage = 0;  // bytes of the line that are the table's own words
    std::vector<std::pair<size_t, size_t>> spans;  // each piece, as [begin, end)
    std::vector<int> subs;                         // the node read from each piece, or -1
};

// Reads one line. Among all the ways to read it, the one whose texts cover
// most of it wins: a name that happens to hold a separator is not taken for
// two parts when it can be one. Between readings that cover as much, the
// earlier pieces are the longer ones.
class LineReader {
  public:
    LineReader(const Patterns& patterns, std::string_view line)
        : m_patterns(patterns), m_line(line) {}

    // The reading of the whole line, or -1; items count only within a list.
    int line(bool inList) {
        int best = -1;
        read(0, m_line.size(), 0, 0, best);
        read(0, m_line.size(), 1, 0, best);
        if (inList) read(0, m_line.size(), 2, 0, best);
        return best;
    }

    const Node& node(int i) const { return m_nodes[static_cast<size_t>(i)]; }
    std::string_view piece(const std::pair<size_t, size_t>& span) const {
        return m_line.substr(span.first, span.second - span.first);
    }

  private:
    // Most ways tried for one line: a line made to be slow is left as it is.
    static constexpr size_t kBudget = 20000;

    // The reading of [b, e) as a text that stands within another: any text
    // of the table for group 0, else one of that group.
    int nested(size_t b, size_t e, char group) {
        const auto key = std::make_tuple(b, e, group);
        if (auto it = m_memo.find(key); it != m_memo.end()) return it->second;
        int best = -1;
        read(b, e, 0, group, best);
        m_memo[key] = best;
        return best;
    }

    void read(size_t b, size_t e, size_t role, char group, int& best) {
        const std::string_view part = m_line.substr(b, e - b);
        auto inGroup = [&](const Pattern& p) {
            return group == 0 || p.groups.find(group) != std::string::npos;
        };
        if (auto it = part.size() <= m_patterns.longestExact ? m_patterns.exact[role].find(part)
                                                             : m_patterns.exact[role].end();
            it != m_patterns.exact[role].end() && inGroup(m_patterns.all[it->second])) {
            Node n;
            n.pattern = it->second;
            n.coverage = part.size();
            offer(std::move(n), best);
        }
        for (size_t index : m_patterns.withPieces[role]) {
            const Pattern& p = m_patterns.all[index];
            if (!inGroup(p)) continue;
            const std::string& first = p.literals.front();
            const std::string& last = p.literals.back();
            if (part.size() < first.size() + last.size() ||
                part.compare(0, first.size(), first) != 0 ||
                part.compare(part.size() - last.size(), last.size(), last) != 0)
                continue;
            std::vector<std::pair<size_t, size_t>> spans(p.pieces.size());
            split(p, 0, b + first.size(), e - last.size(), spans, best);
        }
    }

    // Places piece k of p at from and the literals after it, every way they fit before stop.
    void split(const Pattern& p, size_t k, size_t from, size_t stop,
               std::vector<std::pair<size_t, size_t>>& spans, int& best) {
        if (m_tried >= kBudget) return;
        if (k + 1 == p.pieces.size()) {
            spans[k] = {from, stop};
            ++m_tried;
            judge(p, spans, best);
            return;
        }
        const std::string& next = p.literals[k + 1];
        for (size_t at = m_line.find(next, from);
             at != std::string_view::npos && at + next.size() <= stop;
             at = m_line.find(next, at + 1)) {
            spans[k] = {from, at};
            ++m_tried;
            split(p, k + 1, at + next.size(), stop, spans, best);
            if (m_tried >= kBudget) return;
        }
    }

    void judge(const Pattern& p, const std::vector<std::pair<size_t, size_t>>& spans, int& best) {
        Node n;
        n.pattern = p.index;
        n.coverage = p.literalBytes;
        n.spans = spans;
        n.subs.assign(spans.size(), -1);
        for (size_t k = 0; k < spans.size(); ++k) {
            const auto [b, e] = spans[k];
            const char kind = p.kinds[k];
            if (kind == 'T') continue;
            if (kind == 'N') {
                if (b == e || !std::all_of(m_line.begin() + static_cast<ptrdiff_t>(b),
                                           m_line.begin() + static_cast<ptrdiff_t>(e),
                                           [](char c) { return c >= '0' && c <= '9'; }))
                    return;
                continue;
            }
            // A reason may be any text, or none of them; 'M' any text, a
            // small letter one of its group: they must be one.
            const char group = kind == 'R' || kind == 'M' ? 0 : kind;
            const int sub = b < e ? nested(b, e, group) : -1;
            if (sub < 0 && kind != 'R') return;
            n.subs[k] = sub;
            if (sub >= 0) n.coverage += node(sub).coverage;
        }
        offer(std::move(n), best);
    }

    void offer(Node n, int& best) {
        if (best >= 0 && !better(n, node(best))) return;
        m_nodes.push_back(std::move(n));
        best = static_cast<int>(m_nodes.size() - 1);
    }

    static bool better(const Node& a, const Node& b) {
        if (a.coverage != b.coverage) return a.coverage > b.coverage;
        if (a.pattern != b.pattern) return false;  // the first text found keeps it
        for (size_t k = 0; k < a.spans.size(); ++k) {
            const size_t la = a.spans[k].second - a.spans[k].first;
            const size_t lb = b.spans[k].second - b.spans[k].first;
            if (la != lb) return la > lb;
        }
        return false;
    }

    const Patterns& m_patterns;
    std::string_view m_line;
    std::vector<Node> m_nodes;
    std::map<std::tuple<size_t, size_t, char>, int> m_memo;
    size_t m_tried = 0;
};

long long CountOf(std::string_view digits) {
    long long n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        n = n > (LLONG_MAX - 9) / 10 ? LLONG_MAX : n * 10 + (c - '0');
    }
    return n;
}

std::string Render(const Catalogue& catalogue, const LineReader& reader, int index) {
    const Node& n = reader.node(index);
    const Pattern& p = CompiledPatterns().all[n.pattern];
    const MessageText& text = MessageTexts::all()[n.pattern];
    std::vector<std::string> args;
    for (size_t k = 0; k < p.pieces.size(); ++k) {
        const auto slot = static_cast<size_t>(p.pieces[k] - 1);
        if (args.size() <= slot) args.resize(slot + 1);
        args[slot] = n.subs[k] >= 0 ? Render(catalogue, reader, n.subs[k])
                                    : std::string(reader.piece(n.spans[k]));
    }
    long long count = -1;
    if (text.countPiece > 0 && static_cast<size_t>(text.countPiece) <= args.size())
        count = CountOf(args[static_cast<size_t>(text.countPiece - 1)]);
    return MessageTexts::fill(catalogue.text(n.pattern, count), std::span<const std::string>(args));
}

bool AllAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::string TranslateMessage(const std::string& chineseText) {
    if (!g_loaded.load(std::memory_order_acquire) || AllAscii(chineseText)) return chineseText;
    const std::shared_ptr<const Catalogue> catalogue = CurrentCatalogue();
    if (!catalogue) return chineseText;
    const Patterns& patterns = CompiledPatterns();
    std::string out;
    out.reserve(chineseText.size() + chineseText.size() / 2);
    bool inList = false;  // after a heading, up to the next blank line
    size_t begin = 0;
    for (;;) {
        const size_t end = std::min(chineseText.find('\n', begin), chineseText.size());
        const std::string_view line(chineseText.data() + begin, end - begin);
        if (line.empty()) {
            inList = false;
        } else {
            LineReader reader(patterns, line);
            const int read = reader.line(inList);
            if (read >= 0) {
                out += Render(*catalogue, reader, read);
                if (MessageTexts::all()[reader.node(read).pattern].role == MessageRole::Heading)
                    inList = true;
            } else {
                out += line;
            }
        }
        if (end == chineseText.size()) break;
        out += '\n';
        begin = end + 1;
    }
    return out;
}

bool LoadTranslation(const std::string& language) {
    if (language.empty() || language == "zh") {
        Publish(nullptr);
        return true;
    }
    const std::string file = TranslationFile(language);
    if (file.empty() || !LoadTranslationFile(file)) {
        Publish(nullptr);
        return false;
    }
    return true;
}

bool LoadTranslationFile(const std::string& path) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QString::fromStdString(path))) return false;
    CompiledPatterns();  // compiled before the first message needs them
    Publish(std::make_shared<const Catalogue>(std::move(translator)));
    return true;
}

bool TranslationLoaded() { return g_loaded.load(std::memory_order_acquire); }

std::vector<std::string> TranslationProblems(bool untranslatedToo) {
    std::vector<std::string> problems;
    const std::shared_ptr<const Catalogue> catalogue = CurrentCatalogue();
    if (!catalogue) return problems;
    for (const MessageText& text : MessageTexts::all()) {
        // A text with plural forms is looked at in its singular and plural.
        for (const int n : text.countPiece != 0 ? std::vector<int>{1, 2} : std::vector<int>{-1}) {
            const std::string held = catalogue->held(text, n);
            if (held.empty()) {
                if (untranslatedToo) problems.push_back(std::string(text.text) + " → (none)");
                break;
            }
            if (!KeepsPieces(text, held)) problems.push_back(std::string(text.text) + " → " + held);
        }
    }
    return problems;
}

}  // namespace zanfeld
