#include "window/aboutdialog.h"

#include "i18n/localization.h"
#include "window/updateflow.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *valueLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

QLabel *linkLabel(const QString &target, const QString &shown, QWidget *parent)
{
    QLabel *label = valueLabel(
        QStringLiteral("<a href=\"%1\">%2</a>").arg(target.toHtmlEscaped(), shown.toHtmlEscaped()), parent);
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(label->textInteractionFlags() | Qt::LinksAccessibleByMouse |
                                   Qt::LinksAccessibleByKeyboard);
    label->setOpenExternalLinks(true);
    return label;
}

} // namespace

QString compilationYear(const QString &buildDate)
{
    return buildDate.size() <= 4 ? buildDate : buildDate.right(4);
}

AboutDialog::AboutDialog(UpdateFlow *updates, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(i18n::tr("Program information"));
    auto *layout = new QVBoxLayout(this);

    auto *header = new QHBoxLayout;
    auto *icon = new QLabel(this);
    icon->setFixedSize(104, 104);
    icon->setAlignment(Qt::AlignCenter);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/assets/icons/plotmason-app-icon.png"))
                        .pixmap(96, 96)
                        .scaled(96, 96, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    auto *title = new QLabel(QStringLiteral("Plotmason"), this);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() + 6);
    titleFont.setWeight(QFont::Bold);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->addWidget(icon);
    header->addWidget(title, 1);
    layout->addLayout(header);

    auto *form = new QFormLayout;
    form->addRow(i18n::tr("Program name:"), valueLabel(QStringLiteral("Plotmason"), this));
    form->addRow(i18n::tr("Installed version:"), valueLabel(QCoreApplication::applicationVersion(), this));
    m_onlineVersion = valueLabel(i18n::tr("Checking..."), this);
    form->addRow(i18n::tr("Online version:"), m_onlineVersion);
    form->addRow(i18n::tr("Compilation year:"),
                 valueLabel(compilationYear(QString::fromLatin1(__DATE__)), this));
    const QString website = QString::fromLatin1(maker::website);
    const QString address = QString::fromLatin1(maker::suggestionsAddress);
    form->addRow(i18n::tr("Website:"), linkLabel(website, website, this));
    form->addRow(i18n::tr("Suggestions:"), linkLabel(QStringLiteral("mailto:") + address, address, this));
    layout->addLayout(form);

    m_status = new QLabel(i18n::tr("Checking online version..."), this);
    m_status->setWordWrap(true);
    layout->addWidget(m_status);
    m_updateButton = new QPushButton(i18n::tr("Update"), this);
    m_updateButton->setEnabled(false);
    layout->addWidget(m_updateButton);

    connect(updates, &UpdateFlow::onlineVersionChanged, m_onlineVersion, &QLabel::setText);
    connect(updates, &UpdateFlow::statusChanged, m_status, &QLabel::setText);
    connect(updates, &UpdateFlow::updateAvailableChanged, m_updateButton, &QPushButton::setEnabled);
    connect(m_updateButton, &QPushButton::clicked, updates, &UpdateFlow::startUpdate);
    updates->check();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(i18n::tr("Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
