#pragma once

// qpdf pieces shared by what reads a PDF page's content: the drawing reader
// and the check that a page can be rendered at all.

#include <qpdf/Pipeline.hh>

#include <string>

namespace pdfcontent {

// Thrown through qpdf's pipelines and the readers' own loops when a limit is passed.
struct LimitReached
{
};

// Collects decoded content and stops as soon as the shared budget is spent.
class CappedContent : public Pipeline
{
public:
    CappedContent(std::string *target, size_t *budget)
        : Pipeline("content", nullptr)
        , m_target(target)
        , m_budget(budget)
    {}
    void write(unsigned char const *data, size_t length) override
    {
        if (length > *m_budget)
            throw LimitReached();
        *m_budget -= length;
        m_target->append(reinterpret_cast<const char *>(data), length);
    }
    void finish() override {}

private:
    std::string *m_target;
    size_t *m_budget;
};

} // namespace pdfcontent
