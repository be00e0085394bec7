#pragma once

#include "netservice/netservice_export.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

// The update service's protocol, as pure functions: nothing here touches the
// network, so every rule can be tested (and fuzzed) on its own.
//
//   GET <base>/v1/latest?channel=stable&installed=1.1.7
//   200 {"version":"1.2.0","installerUrl":"https://...","sha256":"<64 hex digits>"}
namespace netservice {

// Where the maker's service lives unless the program is told otherwise.
inline constexpr char defaultServiceUrl[] = "https://updates.plotmason.app";

// What the service offers on a channel.
struct LatestRelease
{
    QString version;   // a valid version (see isValidVersion)
    QUrl installerUrl; // absolute, and isPermittedUrl holds
    QString sha256;    // 64 lower-case hex digits

    friend bool operator==(const LatestRelease &a, const LatestRelease &b)
    {
        return a.version == b.version && a.installerUrl == b.installerUrl && a.sha256 == b.sha256;
    }
};

// Dot-separated decimal components, nothing else: "1", "1.2", "1.1.10".
NETSERVICE_EXPORT bool isValidVersion(const QString &version);

// -1, 0 or 1 as a is older than, the same as or newer than b, comparing each
// component as a number and padding the shorter with zeros ("1.2" == "1.2.0");
// nothing when either is not a valid version.
NETSERVICE_EXPORT std::optional<int> compareVersions(const QString &a, const QString &b);

// 127.0.0.0/8, ::1 (also IPv4-mapped) and "localhost": traffic that never leaves the machine.
NETSERVICE_EXPORT bool isLoopbackHost(const QString &host);

// https with a host, or plain http to a loopback host; everything else is
// refused before any name lookup, for the query, the installer and redirects.
NETSERVICE_EXPORT bool isPermittedUrl(const QUrl &url);

// Exactly 64 hex digits, either case.
NETSERVICE_EXPORT bool isSha256Hex(const QString &digest);

// The version query below base (whose own path is kept, its query replaced).
NETSERVICE_EXPORT QUrl latestQueryUrl(const QUrl &base, const QString &channel,
                                      const QString &installedVersion);

// Reads the service's answer: a JSON object with the three fields, each
// usable; extra fields are ignored. On failure *release is left alone and
// *error (when given) gets a short English reason.
NETSERVICE_EXPORT bool parseLatestReply(const QByteArray &body, LatestRelease *release,
                                        QString *error = nullptr);

} // namespace netservice
