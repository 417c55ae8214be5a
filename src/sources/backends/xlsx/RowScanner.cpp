// The streaming row scanner: a worksheet's rows and the shared strings read straight from their bytes.
#include "sources/backends/xlsx/RowScanner.h"

#include "sources/backends/DateText.h"
#include "sources/backends/xlsx/SheetRows.h"
#include "sources/backends/xlsx/XlsxPackage.h"
#include "sources/backends/xlsx/ZipArchive.h"

#include <array>
#include <climits>
#include <cstring>
#include <string>
#include <string_view>

namespace quibo::xlsx {

namespace {

// The classes of the bytes the scanner tells apart; bytes past ASCII in a name are left to the parser.
enum : unsigned char {
    Space = 1,
    NameStart = 2,
    NameChar = 4,
    TextEnd = 8,   // markup or the end of the batch
    TextStop = 16, // that, or a byte the parser changes in text
    Rewritten = 32,
    ValueStop = 64, // a quote, the end, or a byte the parser changes in an attribute's value
};

constexpr std::array<unsigned char, 256> CharClasses = [] {
    std::array<unsigned char, 256> classes{};
    for (const char c : {' ', '\t', '\r', '\n'})
        classes[static_cast<unsigned char>(c)] = Space;
    for (int c = 0; c < 256; ++c) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
        if (letter) classes[static_cast<size_t>(c)] = NameStart | NameChar;
        if ((c >= '0' && c <= '9') || c == '-' || c == '.') classes[static_cast<size_t>(c)] = NameChar;
    }
    // Text ends at markup or at the end of the batch; '&' and '\r' change in the parser's text, and
    // in an attribute's value blanks other than ' ' as well.
    for (const char c : {'<', '\0'})
        classes[static_cast<unsigned char>(c)] |= TextEnd | TextStop;
    for (const char c : {'&', '\r'})
        classes[static_cast<unsigned char>(c)] |= TextStop;
    for (const char c : {'&', '\r', '\t', '\n'})
        classes[static_cast<unsigned char>(c)] |= Rewritten | ValueStop;
    for (const char c : {'"', '\'', '\0'})
        classes[static_cast<unsigned char>(c)] |= ValueStop;
    return classes;
}();

bool Is(char c, unsigned char charClass) {
    return CharClasses[static_cast<unsigned char>(c)] & charClass;
}

bool IsSpace(char c) {
    return Is(c, Space);
}

std::string_view LocalName(std::string_view name) {
    for (size_t i = 0; i < name.size(); ++i)
        if (name[i] == ':') return name.substr(i + 1);
    return name;
}

// An attribute as an int the way pugixml reads one: blanks, a sign, decimal or "0x" hex digits;
// out of range gives the nearest limit.
int AttributeInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    quint64 value = 0;
    bool overflow = false;
    const bool hex = i + 1 < text.size() && text[i] == '0' && (text[i + 1] | 0x20) == 'x';
    if (hex) i += 2;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f')
            digit = (c | 0x20) - 'a' + 10;
        else
            break;
        value = value * (hex ? 16 : 10) + static_cast<quint64>(digit);
        if (value > (quint64(1) << 32)) overflow = true;
    }
    if (negative)
        return overflow || value > quint64(1) << 31 ? INT_MIN : static_cast<int>(-static_cast<qint64>(value));
    return overflow || value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

// Each reference below starts at raw[i], its '&', and is either complete, appended as what it stands
// for, or appended as it stands up to the character that broke it. Each returns where the text goes
// on.
char CharAt(std::string_view raw, size_t k) {
    return k < raw.size() ? raw[k] : '\0';
}

// "&#" and decimal, or "&#x" and hex digits, then ';'. A reference to U+0000 ends the text.
size_t AppendCharacterReference(std::string_view raw, size_t i, std::string& out) {
    const bool hex = CharAt(raw, i + 2) == 'x';
    size_t k = i + (hex ? 3 : 2);
    quint32 code = 0;
    bool complete = false;
    if (CharAt(raw, k) != ';') {
        for (;; ++k) {
            const char d = CharAt(raw, k);
            if (d >= '0' && d <= '9')
                code = code * (hex ? 16 : 10) + static_cast<quint32>(d - '0');
            else if (hex && (d | 0x20) >= 'a' && (d | 0x20) <= 'f')
                code = code * 16 + static_cast<quint32>((d | 0x20) - 'a' + 10);
            else {
                complete = d == ';';
                break;
            }
        }
    }
    if (!complete) {
        out.append(raw.substr(i, k - i));
        return k;
    }
    if (code == 0) return raw.size();
    AppendUtf8(code, out);
    return k + 1;
}

// One of the five named entities.
size_t AppendEntityReference(std::string_view raw, size_t i, std::string& out) {
    struct Entity {
        const char* name;
        char value;
    };
    static constexpr Entity Entities[] = {
        {"amp;", '&'}, {"apos;", '\''}, {"gt;", '>'}, {"lt;", '<'}, {"quot;", '"'}};
    const char first = CharAt(raw, i + 1);
    const char second = CharAt(raw, i + 2);
    for (const Entity& e : Entities) {
        // "&a" alone is told apart by its second letter; every other entity by its first.
        if (e.name[0] != first || (first == 'a' && e.name[1] != second)) continue;
        size_t k = i + 1;
        for (const char* r = e.name; *r; ++r, ++k)
            if (CharAt(raw, k) != *r) {
                out.append(raw.substr(i, k - i));
                return k;
            }
        out.push_back(e.value);
        return k;
    }
    if (first == 'a') { // "&a" then neither 'm' nor 'p'
        out.append(raw.substr(i, 2));
        return i + 2;
    }
    out.push_back('&');
    return i + 1;
}

// Appends a text as the XML parser gives it: "\r\n" and "\r" as "\n", the five named entities and
// character references decoded, anything else as it stands; a reference to U+0000 ends the text.
void AppendXmlText(std::string_view raw, std::string& out) {
    size_t i = 0;
    while (i < raw.size()) {
        const char c = raw[i];
        if (c == '\r') {
            out.push_back('\n');
            i += i + 1 < raw.size() && raw[i + 1] == '\n' ? 2 : 1;
        } else if (c != '&') {
            out.push_back(c);
            ++i;
        } else {
            i = CharAt(raw, i + 1) == '#' ? AppendCharacterReference(raw, i, out)
                                          : AppendEntityReference(raw, i, out);
        }
    }
}

// Compares a name or value with a literal; inlined, where std::string_view's == calls memcmp.
template <size_t N> bool Named(std::string_view text, const char (&literal)[N]) {
    if (text.size() != N - 1) return false;
    for (size_t i = 0; i + 1 < N; ++i)
        if (text[i] != literal[i]) return false;
    return true;
}

// Whether the bytes at `p` begin with the literal; it stops at the first that differs, so at the
// NUL after a batch.
template <size_t N> bool Starts(const char* p, const char (&literal)[N]) {
    for (size_t i = 0; i + 1 < N; ++i)
        if (p[i] != literal[i]) return false;
    return true;
}

// The scanner over one batch of rows or one shared-strings part, as ScanRows and ScanSharedStrings say.
class RowScanner {
public:
    RowScanner(const char* begin, const SheetContext& context) : m_p(begin), m_context(context) {}

    // `rowsRead` counts the <row> elements read through their end; when the scan gives up, those went
    // into the sheet and `lastRow` is the last of them.
    bool scan(int& lastRow, size_t& rowsRead, SheetRows& sheet) {
        for (;;) {
            skipText();
            if (!*m_p) return true; // text between rows is no cell
            ++m_p;
            std::string_view name;
            bool empty = false;
            Attributes attributes;
            if (!startTag(name, empty, &attributes)) return false;
            if (!Named(LocalName(name), "row")) {
                if (!empty && !skipContent(name)) return false;
                continue;
            }
            const qint64 r =
                attributes.r.data() ? qint64(AttributeInt(attributes.r)) - 1 : qint64(lastRow) + 1;
            if (r < 0 || r >= MaxRows) sheet.refuseDamaged();
            if (!empty && !row(name, static_cast<int>(r), sheet)) return false;
            lastRow = static_cast<int>(r);
            ++rowsRead;
        }
    }

    // The string items of a shared-strings part, from its start: a declaration, the root and its
    // items, and nothing after but blanks.
    bool strings(std::vector<QString>& out) {
        if (Starts(m_p, "<?xml")) {
            const char* end = std::strstr(m_p, "?>");
            if (!end) return false;
            // The parser reads a part in the encoding its declaration names; the scanner reads UTF-8.
            const std::string_view declaration(m_p, static_cast<size_t>(end - m_p));
            if (declaration.find("encoding") != std::string_view::npos &&
                declaration.find("encoding=\"UTF-8\"") == std::string_view::npos &&
                declaration.find("encoding=\"utf-8\"") == std::string_view::npos)
                return false;
            m_p = end + 2;
        }
        skipSpaces();
        if (*m_p++ != '<') return false;
        std::string_view root;
        bool empty = false;
        if (!startTag(root, empty, nullptr)) return false;
        if (!empty && !eachChild(root, [&](std::string_view child, bool childEmpty) {
                if (!IsStringItem(LocalName(child))) return childEmpty || skipContent(child);
                Cell cell;
                if (!childEmpty && !item(child, cell)) return false;
                out.push_back(DecodeText(cell.item));
                return true;
            }))
            return false;
        skipSpaces();
        return !*m_p;
    }

private:
    // The first r, t and s of a tag, as written; a null view when absent.
    struct Attributes {
        std::string_view r, t, s;
    };

    struct Cell {
        bool hasValue = false;
        std::string_view value; // <v>'s text as written
        bool hasItem = false;
        std::string_view item; // <is>'s text, decoded: the bytes of its one plain <t>, or m_joined
        int texts = 0;         // the <t>s read so far
        bool joined = false;
    };

    void skipSpaces() {
        while (IsSpace(*m_p))
            ++m_p;
    }

    // Up to the next "<" or the end.
    void skipText() {
        while (!Is(*m_p, TextEnd))
            ++m_p;
    }

    // After "<": a start tag up to and over its ">" or "/>".
    bool startTag(std::string_view& name, bool& empty, Attributes* attributes) {
        const char* start = m_p;
        if (!Is(*m_p, NameStart)) return false;
        while (Is(*m_p, NameChar))
            ++m_p;
        name = std::string_view(start, static_cast<size_t>(m_p - start));
        for (;;) {
            if (*m_p == '>') {
                ++m_p;
                empty = false;
                return true;
            }
            if (*m_p == '/') {
                if (m_p[1] != '>') return false;
                m_p += 2;
                empty = true;
                return true;
            }
            if (!IsSpace(*m_p)) return false;
            skipSpaces();
            if (*m_p == '>' || *m_p == '/') continue;
            if (!Is(*m_p, NameStart)) return false;
            const char* attributeStart = m_p;
            while (Is(*m_p, NameChar))
                ++m_p;
            const std::string_view attribute(attributeStart, static_cast<size_t>(m_p - attributeStart));
            skipSpaces();
            if (*m_p != '=') return false;
            ++m_p;
            skipSpaces();
            if (*m_p != '"' && *m_p != '\'') return false;
            const char quote = *m_p++;
            const char* close = m_p;
            bool plain = true; // nothing the parser would rewrite
            for (;; ++close) {
                while (!Is(*close, ValueStop))
                    ++close;
                if (*close == quote) break;
                if (!*close) return false;
                if (Is(*close, Rewritten)) plain = false;
            }
            const std::string_view value(m_p, static_cast<size_t>(close - m_p));
            m_p = close + 1;
            if (Is(*m_p, NameStart)) return false;
            if (attributes && attribute.size() == 1) {
                std::string_view* slot = attribute[0] == 'r'   ? &attributes->r
                                         : attribute[0] == 't' ? &attributes->t
                                         : attribute[0] == 's' ? &attributes->s
                                                               : nullptr;
                if (slot && !slot->data()) {
                    if (!plain) return false; // left to the parser
                    *slot = value.empty() ? std::string_view(close, 0) : value;
                }
            }
        }
    }

    // After "<": the cell as sheets mostly write one, read in one pass: an unprefixed <c> whose
    // attributes are among r, s and t, each once, written name="value" with one blank before each,
    // holding nothing, a <v> or an <is> of one <t> (with at most xml:space="preserve"), none of them
    // with a byte the parser would change. Anything else gives false with nothing read, and the
    // general path reads the same bytes.
    bool plainCell(Attributes& attributes, Cell& cell) {
        const char* p = m_p;
        if (*p++ != 'c') return false;
        while (*p == ' ') {
            std::string_view* slot = p[1] == 'r'   ? &attributes.r
                                     : p[1] == 's' ? &attributes.s
                                     : p[1] == 't' ? &attributes.t
                                                   : nullptr;
            if (!slot || slot->data() || p[2] != '=' || p[3] != '"') return false;
            p += 4;
            const char* value = p;
            while (!Is(*p, ValueStop))
                ++p;
            if (*p != '"') return false;
            *slot = std::string_view(value, static_cast<size_t>(p - value));
            ++p;
        }
        if (*p == '/') {
            if (p[1] != '>') return false;
            m_p = p + 2;
            return true;
        }
        if (*p++ != '>' || *p++ != '<') return false;
        if (p[0] == '/') {
            if (p[1] != 'c' || p[2] != '>') return false;
            m_p = p + 3;
            return true;
        }
        std::string_view* text = nullptr;
        const char* start = nullptr;
        if (p[0] == 'v' && p[1] == '>') {
            start = p + 2;
            text = &cell.value;
        } else if (Starts(p, "is><t>")) {
            start = p + 6;
            text = &cell.item;
        } else if (Starts(p, "is><t xml:space=\"preserve\">")) {
            start = p + 27;
            text = &cell.item;
        } else {
            return false;
        }
        p = start;
        while (!Is(*p, TextStop))
            ++p;
        if (*p != '<') return false;
        const std::string_view read(start, static_cast<size_t>(p - start));
        if (text == &cell.value) {
            if (!Starts(p, "</v></c>")) return false;
            m_p = p + 8;
            cell.hasValue = true;
        } else {
            if (!Starts(p, "</t></is></c>")) return false;
            m_p = p + 13;
            cell.hasItem = true;
            cell.texts = 1;
        }
        *text = read;
        return true;
    }

    // After "</": the end tag of `name`.
    bool endTag(std::string_view name) {
        for (const char c : name)
            if (*m_p++ != c) return false; // the end's NUL differs from every name byte
        if (Is(*m_p, NameChar)) return false;
        skipSpaces();
        if (*m_p != '>') return false;
        ++m_p;
        return true;
    }

    // Over the next "<"; false at the end of the batch.
    bool nextTag(bool& closing) {
        skipText();
        if (!*m_p) return false;
        ++m_p;
        closing = *m_p == '/';
        if (closing) ++m_p;
        return true;
    }

    // The content of an element whose start tag was read, through its end tag.
    bool skipContent(std::string_view name) {
        m_open.clear();
        m_open.push_back(name);
        while (!m_open.empty()) {
            bool closing = false;
            if (!nextTag(closing)) return false;
            if (closing) {
                if (!endTag(m_open.back())) return false;
                m_open.pop_back();
                continue;
            }
            std::string_view child;
            bool empty = false;
            if (!startTag(child, empty, nullptr)) return false;
            if (!empty) m_open.push_back(child);
        }
        return true;
    }

    // An element of text alone, through its end tag; `plain` when no byte needs decoding.
    bool textOf(std::string_view name, std::string_view& text, bool& plain) {
        const char* start = m_p;
        plain = true;
        for (;; ++m_p) {
            while (!Is(*m_p, TextStop))
                ++m_p;
            if (*m_p == '<') break;
            if (!*m_p) return false;
            plain = false;
        }
        if (m_p[1] != '/') return false;
        text = std::string_view(start, static_cast<size_t>(m_p - start));
        m_p += 2;
        return endTag(name);
    }

    bool appendTextOf(std::string_view name, Cell& cell) {
        std::string_view text;
        bool plain = true;
        if (!textOf(name, text, plain)) return false;
        // A decoded <t> counts too, so that a plain one after it is appended.
        const bool first = cell.texts++ == 0;
        if (plain && first) {
            cell.item = text;
            return true;
        }
        if (!cell.joined) {
            m_joined.assign(cell.item);
            cell.joined = true;
        }
        if (plain)
            m_joined.append(text);
        else
            AppendXmlText(text, m_joined);
        cell.item = m_joined;
        return true;
    }

    // Calls onChild(name, empty) for each child element up to the end tag of `name`; false as soon as
    // the markup breaks or onChild says so.
    template <class OnChild> bool eachChild(std::string_view name, OnChild&& onChild) {
        for (;;) {
            bool closing = false;
            if (!nextTag(closing)) return false;
            if (closing) return endTag(name);
            std::string_view child;
            bool empty = false;
            if (!startTag(child, empty, nullptr) || !onChild(child, empty)) return false;
        }
    }

    // The text of a string item: its own <t>s and its runs' <t>s, in order; phonetic runs are not text.
    bool item(std::string_view name, Cell& cell) {
        const auto textOrSkip = [&](std::string_view child) {
            return Named(LocalName(child), "t") ? appendTextOf(child, cell) : skipContent(child);
        };
        return eachChild(name, [&](std::string_view child, bool empty) {
            if (empty) return true;
            if (Named(LocalName(child), "r"))
                return eachChild(child, [&](std::string_view runChild, bool runEmpty) {
                    return runEmpty || textOrSkip(runChild);
                });
            return textOrSkip(child);
        });
    }

    bool cellContent(std::string_view name, Cell& cell) {
        return eachChild(name, [&](std::string_view child, bool empty) {
            const std::string_view local = LocalName(child);
            if (Named(local, "v") && !cell.hasValue) {
                cell.hasValue = true;
                if (empty) return true;
                bool plain = true;
                if (!textOf(child, cell.value, plain)) return false;
                if (!plain) {
                    m_text.clear();
                    AppendXmlText(cell.value, m_text);
                    cell.value = m_text;
                }
                return true;
            }
            if (Named(local, "is") && !cell.hasItem) {
                cell.hasItem = true;
                return empty || item(child, cell);
            }
            return empty || skipContent(child);
        });
    }

    bool row(std::string_view name, int r, SheetRows& sheet) {
        int lastColumn = -1;
        Cell cell;
        m_cells.clear();
        for (;;) {
            bool closing = false;
            if (!nextTag(closing)) return false;
            if (closing) {
                if (!endTag(name)) return false;
                sheet.add(r, m_cells);
                return true;
            }
            Attributes attributes;
            cell.hasValue = false;
            cell.value = {};
            cell.hasItem = false;
            cell.item = {};
            cell.texts = 0;
            cell.joined = false;
            if (!plainCell(attributes, cell)) {
                std::string_view child;
                bool empty = false;
                attributes = {};
                if (!startTag(child, empty, &attributes)) return false;
                if (!Named(LocalName(child), "c")) {
                    if (!empty && !skipContent(child)) return false;
                    continue;
                }
                if (!empty && !cellContent(child, cell)) return false;
            }
            int column = lastColumn + 1;
            if (attributes.r.data()) {
                column = ColumnOf(attributes.r);
                if (column < 0) column = lastColumn + 1;
            }
            lastColumn = column;
            if (column >= MaxColumns) sheet.refuseDamaged();
            const CellParts parts{attributes.t, cell.hasValue,
                                  cell.value,   cell.hasItem,
                                  cell.item,    attributes.s.data() ? AttributeInt(attributes.s) : 0};
            SourceCell v = CellValue(parts, m_context, sheet);
            if (IsNull(v)) continue;
            m_cells.emplace_back(column, std::move(v));
        }
    }

    const char* m_p;
    const SheetContext& m_context;
    std::vector<std::string_view> m_open;
    SheetRows::Cells m_cells; // the row's cells, to be added when it ends
    std::string m_text;       // <v>'s text, decoded
    std::string m_joined;     // <is>'s text of more than one plain <t>
};

} // namespace

bool ScanRows(const char* begin, const SheetContext& context, int& lastRow, size_t& rowsRead,
              SheetRows& sheet) {
    return RowScanner(begin, context).scan(lastRow, rowsRead, sheet);
}

bool ScanSharedStrings(const char* begin, const SheetContext& context, std::vector<QString>& out) {
    return RowScanner(begin, context).strings(out);
}

} // namespace quibo::xlsx
