#include "tests/pdfvector/chartpdf.h"

#include "tests/support/testsupport.h"

#include <QPageSize>
#include <QPdfWriter>

#include <qpdf/Pl_Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

namespace chartpdf {

namespace {

std::string local(const QString &path)
{
    return path.toUtf8().toStdString();
}

} // namespace

QString writePdf(const QString &name, const QSize &points, const Painting &paint)
{
    const QString path = testsupport::sandbox().filePath(name);
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(points, QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(72);
    QPainter painter(&writer);
    paint(painter);
    painter.end();
    return path;
}

QString editFirstPage(const QString &source, const QString &target, const PageEdit &edit)
{
    QPDF pdf;
    pdf.processFile(local(source).c_str());
    QPDFPageObjectHelper page = QPDFPageDocumentHelper(pdf).getAllPages().front();
    QPDFObjectHandle dictionary = page.getObjectHandle();
    if (edit.wrapInForm) {
        // The form's content is read from the page on writing, so it gets a copy
        // before the page's content is replaced.
        Pl_Buffer content("content");
        page.pipeContents(&content);
        QPDFObjectHandle form = page.getFormXObjectForPage(false);
        form.replaceStreamData(content.getBufferSharedPointer(), QPDFObjectHandle::newNull(),
                               QPDFObjectHandle::newNull());
        const QTransform &m = edit.formMatrix;
        form.getDict().replaceKey("/Matrix", QPDFObjectHandle::newArray(QPDFObjectHandle::Matrix(
                                                 m.m11(), m.m12(), m.m21(), m.m22(), m.dx(), m.dy())));
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        QPDFObjectHandle objects = QPDFObjectHandle::newDictionary();
        objects.replaceKey("/Fx", form);
        resources.replaceKey("/XObject", objects);
        dictionary.replaceKey("/Resources", resources);
        dictionary.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, "q /Fx Do Q\n"));
    }
    if (edit.rotate != 0)
        dictionary.replaceKey("/Rotate", QPDFObjectHandle::newInteger(edit.rotate));
    if (!edit.cropBox.isEmpty()) {
        const QRectF &box = edit.cropBox;
        dictionary.replaceKey("/CropBox", QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(
                                              box.left(), box.top(), box.right(), box.bottom())));
    }
    const QString path = testsupport::sandbox().filePath(target);
    QPDFWriter writer(pdf, local(path).c_str());
    writer.write();
    return path;
}

QString encrypt(const QString &source, const QString &target, const QString &password)
{
    QPDF pdf;
    pdf.processFile(local(source).c_str());
    const QString path = testsupport::sandbox().filePath(target);
    QPDFWriter writer(pdf, local(path).c_str());
    const std::string secret = local(password);
    writer.setR6EncryptionParameters(secret.c_str(), secret.c_str(), true, true, true, true, true, true,
                                     qpdf_r3p_full, true);
    writer.write();
    return path;
}

QString contentPdf(const QString &name, const QByteArray &content, const QByteArray &formContent)
{
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle form = QPDFObjectHandle::newStream(&pdf, formContent.toStdString());
    form.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    form.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
    form.getDict().replaceKey("/BBox",
                              QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(0, 0, 600, 400)));
    QPDFObjectHandle page = QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 600 400] "
                                                    "/Resources << /XObject << >> >> >>");
    page.getKey("/Resources").getKey("/XObject").replaceKey("/F0", form);
    page.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, content.toStdString()));
    QPDFPageDocumentHelper(pdf).addPage(QPDFPageObjectHelper(pdf.makeIndirectObject(page)), false);
    const QString path = testsupport::sandbox().filePath(name);
    QPDFWriter writer(pdf, local(path).c_str());
    writer.write();
    return path;
}

} // namespace chartpdf
