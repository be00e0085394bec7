#include "tests/i18n/sourcescan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace sourcescan {

namespace {

bool isIdentifierStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool isIdentifierChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// A minimal C++ lexer: just enough to tell code from comments and literals.
class Scanner
{
public:
    explicit Scanner(const QString &text)
        : m_text(text)
    {}

    QList<TrCall> run()
    {
        while (!atEnd()) {
            const QChar c = peek();
            if (skipCommentOrBlank())
                continue;
            if (c == u'"') {
                readString();
            } else if (c == u'\'') {
                skipCharLiteral();
            } else if (isIdentifierStart(c)) {
                const int line = m_line;
                const QString word = readIdentifier();
                if (isRawPrefix(word) && peek() == u'"')
                    readRawString();
                else if (isStringPrefix(word) && peek() == u'"')
                    readString();
                else if (word == u"i18n")
                    afterNamespace(line);
            } else if (c.isDigit()) {
                skipNumber();
            } else {
                ++m_pos;
            }
        }
        return m_calls;
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek(int offset = 0) const
    {
        const int at = m_pos + offset;
        return at < m_text.size() ? m_text.at(at) : QChar();
    }
    void advance()
    {
        if (peek() == u'\n')
            ++m_line;
        ++m_pos;
    }

    // Skips one blank or one whole comment; false when neither is next.
    bool skipCommentOrBlank()
    {
        if (peek().isSpace()) {
            advance();
            return true;
        }
        if (peek() == u'/' && peek(1) == u'/') {
            while (!atEnd() && peek() != u'\n')
                advance();
            return true;
        }
        if (peek() == u'/' && peek(1) == u'*') {
            m_pos += 2;
            while (!atEnd() && !(peek() == u'*' && peek(1) == u'/'))
                advance();
            m_pos += 2;
            return true;
        }
        return false;
    }

    void skipSpaceAndComments()
    {
        while (!atEnd() && skipCommentOrBlank()) {
        }
    }

    QString readIdentifier()
    {
        const int start = m_pos;
        while (!atEnd() && isIdentifierChar(peek()))
            ++m_pos;
        return m_text.mid(start, m_pos - start);
    }

    static bool isStringPrefix(const QString &word)
    {
        return word == u"u8" || word == u"L" || word == u"u" || word == u"U";
    }
    static bool isRawPrefix(const QString &word)
    {
        return word == u"R" || word == u"u8R" || word == u"LR" || word == u"uR" || word == u"UR";
    }

    // A number may hold digit separators (1'000), which must not open a character literal.
    void skipNumber()
    {
        while (!atEnd() &&
               (isIdentifierChar(peek()) || peek() == u'.' || (peek() == u'\'' && isIdentifierChar(peek(1)))))
            ++m_pos;
    }

    void skipCharLiteral()
    {
        ++m_pos;
        while (!atEnd() && peek() != u'\'' && peek() != u'\n') {
            if (peek() == u'\\')
                ++m_pos;
            ++m_pos;
        }
        ++m_pos;
    }

    // Reads "..." at the current position and returns its text with escapes decoded.
    QString readString()
    {
        QString text;
        ++m_pos;
        while (!atEnd() && peek() != u'"' && peek() != u'\n') {
            if (peek() != u'\\') {
                text += peek();
                ++m_pos;
                continue;
            }
            ++m_pos;
            text += readEscape();
        }
        ++m_pos;
        return text;
    }

    // Interface texts are plain ASCII, so the few escapes they can hold are enough;
    // any other escape yields a key that no table has, which the test reports.
    QString readEscape()
    {
        const QChar c = peek();
        ++m_pos;
        switch (c.unicode()) {
        case '\n': ++m_line; return QString(); // a spliced line
        case 'n': return QStringLiteral("\n");
        case 't': return QStringLiteral("\t");
        default: return QString(c); // \" \' \\ \? stand for themselves
        }
    }

    void readRawString()
    {
        ++m_pos;
        const int open = m_text.indexOf(u'(', m_pos);
        if (open < 0) {
            m_pos = int(m_text.size());
            return;
        }
        const QString closing = u')' + m_text.mid(m_pos, open - m_pos) + u'"';
        const int close = m_text.indexOf(closing, open);
        const int end = close < 0 ? int(m_text.size()) : close + int(closing.size());
        while (m_pos < end)
            advance();
    }

    // After the word "i18n": a call of i18n::tr is recorded, with its key when
    // the argument is one or more string literals and nothing else.
    void afterNamespace(int line)
    {
        skipSpaceAndComments();
        if (!(peek() == u':' && peek(1) == u':'))
            return;
        m_pos += 2;
        skipSpaceAndComments();
        if (!isIdentifierStart(peek()) || readIdentifier() != u"tr")
            return;
        TrCall call;
        call.line = line;
        skipSpaceAndComments();
        if (peek() != u'(') {
            call.literal = false; // taken as a function value: its texts cannot be found
            m_calls.append(call);
            return;
        }
        ++m_pos;
        int literals = 0;
        for (;;) {
            skipSpaceAndComments();
            if (peek() == u'"') {
                call.key += readString();
            } else if (peek() == u'u' && peek(1) == u'8' && peek(2) == u'"') {
                m_pos += 2;
                call.key += readString();
            } else {
                break;
            }
            ++literals;
        }
        call.literal = literals > 0 && peek() == u')';
        if (!call.literal)
            call.key.clear();
        m_calls.append(call);
    }

    const QString &m_text;
    int m_pos = 0;
    int m_line = 1;
    QList<TrCall> m_calls;
};

bool isBuildFolder(const QFileInfo &info)
{
    return info.fileName().startsWith(QLatin1String("build")) ||
           QFileInfo::exists(QDir(info.filePath()).filePath(QStringLiteral("CMakeCache.txt")));
}

void scanFolder(const QDir &root, const QDir &folder, TreeScan &scan)
{
    const QFileInfoList entries =
        folder.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QString relative = root.relativeFilePath(entry.filePath());
        if (entry.isDir()) {
            if (entry.fileName().startsWith(u'.') || isBuildFolder(entry) || relative == u"tests")
                continue;
            scanFolder(root, QDir(entry.filePath()), scan);
            continue;
        }
        if (entry.suffix() != u"cpp" && entry.suffix() != u"h")
            continue;
        QFile file(entry.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        scan.files.append(relative);
        const QList<TrCall> calls = findTrCalls(QString::fromUtf8(file.readAll()));
        for (const TrCall &call : calls)
            scan.calls.append({relative, call});
    }
}

} // namespace

QList<TrCall> findTrCalls(const QString &source)
{
    return Scanner(source).run();
}

TreeScan scanTree(const QString &root)
{
    TreeScan scan;
    const QDir rootDir(root);
    scanFolder(rootDir, rootDir, scan);
    return scan;
}

} // namespace sourcescan
