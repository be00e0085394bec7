#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class UpdateFlow;

// Where users reach the maker; shown in the program information dialog.
namespace maker {
inline const char *const website = "https://www.plotmason.app";
inline const char *const suggestionsAddress = "suggestions@plotmason.app";
} // namespace maker

// "Program information": identity, versions, contact links and the update entry.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    // Starts the update check of `updates` and shows its answers.
    AboutDialog(UpdateFlow *updates, QWidget *parent = nullptr);

    QLabel *statusLabel() const { return m_status; }
    QPushButton *updateButton() const { return m_updateButton; }

private:
    QLabel *m_onlineVersion;
    QLabel *m_status;
    QPushButton *m_updateButton;
};

// The last four characters of a build date such as "Dec  8 2026".
QString compilationYear(const QString &buildDate);
