#include "core/model/pdfpagework.h"

#include "core/model/pdfcontent.h"

#include <qpdf/BufferInputSource.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFTokenizer.hh>

#include <algorithm>
#include <exception>
#include <map>
#include <set>

namespace {

// Decoded content read for the count at most: a page beyond it is refused too.
constexpr size_t contentBudget = size_t(256) * 1024 * 1024;

// Runs are counted once per form and multiplied, so the count takes as long
// as the file is big, however many times the forms repeat each other.
class FormRunCounter
{
public:
    explicit FormRunCounter(qint64 limit)
        : m_limit(limit)
    {}

    // The forms drawn by the content of a page or a form with those resources.
    // Content whose resources name no form is not read: a page of a million
    // plain paths costs nothing here.
    qint64 runsIn(QPDFObjectHandle owner, QPDFObjectHandle resources)
    {
        if (!namesForms(resources))
            return 0;
        std::string content;
        pdfcontent::CappedContent pipe(&content, &m_budget);
        QPDFPageObjectHelper(owner).pipeContents(&pipe);
        auto input = std::make_shared<BufferInputSource>("content", content);
        QPDFTokenizer tokenizer;
        tokenizer.allowEOF();
        qint64 runs = 0;
        std::string lastName;
        for (;;) {
            const QPDFTokenizer::Token token = tokenizer.readToken(input, "content", true);
            const QPDFTokenizer::token_type_e type = token.getType();
            if (type == QPDFTokenizer::tt_eof)
                break;
            if (type == QPDFTokenizer::tt_word && token.getValue() == "Do" && !lastName.empty())
                runs = std::min(m_limit + 1, runs + runsOfForm(namedForm(resources, lastName), resources));
            lastName = type == QPDFTokenizer::tt_name ? token.getValue() : std::string();
            if (runs > m_limit)
                break;
        }
        return runs;
    }

private:
    static bool isForm(QPDFObjectHandle object)
    {
        return object.isStream() && object.getDict().getKey("/Subtype").isNameAndEquals("/Form");
    }

    static bool namesForms(QPDFObjectHandle resources)
    {
        if (!resources.isDictionary() || !resources.getKey("/XObject").isDictionary())
            return false;
        for (const auto &[name, object] : resources.getKey("/XObject").ditems()) {
            if (isForm(object))
                return true;
        }
        return false;
    }

    static QPDFObjectHandle namedForm(QPDFObjectHandle resources, const std::string &name)
    {
        if (!resources.isDictionary())
            return QPDFObjectHandle::newNull();
        QPDFObjectHandle objects = resources.getKey("/XObject");
        return objects.isDictionary() ? objects.getKey(name) : QPDFObjectHandle::newNull();
    }

    // A form without resources of its own draws with those of what draws it, as renderers allow.
    qint64 runsOfForm(QPDFObjectHandle form, QPDFObjectHandle drawerResources)
    {
        if (!isForm(form))
            return 0;
        const QPDFObjGen id = form.getObjGen();
        if (const auto known = m_runs.find(id); known != m_runs.end())
            return known->second;
        // Renderers do not follow a form into itself.
        if (!m_active.insert(id).second)
            return 0;
        QPDFObjectHandle resources = form.getDict().getKey("/Resources");
        const qint64 runs =
            std::min(m_limit + 1, 1 + runsIn(form, resources.isDictionary() ? resources : drawerResources));
        m_active.erase(id);
        m_runs.emplace(id, runs);
        return runs;
    }

    const qint64 m_limit;
    size_t m_budget = contentBudget;
    std::map<QPDFObjGen, qint64> m_runs;
    std::set<QPDFObjGen> m_active;
};

} // namespace

qint64 pageFormRuns(const QString &path, int page, qint64 limit)
{
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    try {
        pdf.processFile(path.toUtf8().constData());
        const std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
        if (page < 0 || size_t(page) >= pages.size())
            return -1;
        QPDFPageObjectHelper helper = pages[size_t(page)];
        return FormRunCounter(limit).runsIn(helper.getObjectHandle(),
                                            helper.getAttribute("/Resources", false));
    } catch (const pdfcontent::LimitReached &) {
        return limit + 1;
    } catch (const std::exception &) {
        return -1;
    }
}

bool pageRenderBounded(const QString &path, int page, QString *error)
{
    if (pageFormRuns(path, page) <= maximumPageFormRuns)
        return true;
    if (error)
        *error = QStringLiteral("Il disegno della pagina PDF è troppo complesso per essere mostrato: le sue "
                                "parti ripetute (moduli) vi sono disegnate più di %L1 volte.")
                     .arg(maximumPageFormRuns);
    return false;
}
