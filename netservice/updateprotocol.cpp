#include "netservice/updateprotocol.h"

#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QStringList>
#include <QUrlQuery>

namespace netservice {

namespace {

// Long enough for any real version; keeps absurd input from being compared digit by digit.
constexpr qsizetype maxVersionLength = 64;

bool isAsciiDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

// Compares two digit strings by value without converting them, so that no
// component can overflow.
int compareComponents(QStringView a, QStringView b)
{
    while (a.size() > 1 && a.front() == u'0')
        a = a.mid(1);
    while (b.size() > 1 && b.front() == u'0')
        b = b.mid(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int order = a.compare(b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

bool isValidVersion(const QString &version)
{
    if (version.isEmpty() || version.size() > maxVersionLength)
        return false;
    for (QStringView component : QStringView(version).split(u'.')) {
        if (!isAsciiDigits(component))
            return false;
    }
    return true;
}

std::optional<int> compareVersions(const QString &a, const QString &b)
{
    if (!isValidVersion(a) || !isValidVersion(b))
        return std::nullopt;
    const QList<QStringView> left = QStringView(a).split(u'.');
    const QList<QStringView> right = QStringView(b).split(u'.');
    const QStringView zero = u"0";
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        const int order =
            compareComponents(i < left.size() ? left.at(i) : zero, i < right.size() ? right.at(i) : zero);
        if (order != 0)
            return order;
    }
    return 0;
}

bool isLoopbackHost(const QString &host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    // Only an address literal counts: a name could resolve anywhere.
    QHostAddress address;
    return address.setAddress(host) && address.isLoopback();
}

bool isPermittedUrl(const QUrl &url)
{
    if (!url.isValid() || url.isRelative() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return true;
    return scheme == QLatin1String("http") && isLoopbackHost(url.host());
}

bool isSha256Hex(const QString &digest)
{
    if (digest.size() != 64)
        return false;
    for (QChar c : digest) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')))
            return false;
    }
    return true;
}

QUrl latestQueryUrl(const QUrl &base, const QString &channel, const QString &installedVersion)
{
    QUrl url = base;
    QString path = base.path();
    while (path.endsWith(u'/'))
        path.chop(1);
    url.setPath(path + QStringLiteral("/v1/latest"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("channel"), channel);
    query.addQueryItem(QStringLiteral("installed"), installedVersion);
    url.setQuery(query);
    url.setFragment(QString());
    return url;
}

bool parseLatestReply(const QByteArray &body, LatestRelease *release, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        setError(error, QStringLiteral("the reply is not JSON (%1)").arg(parseError.errorString()));
        return false;
    }
    if (!document.isObject()) {
        setError(error, QStringLiteral("the reply is not a JSON object"));
        return false;
    }
    const QJsonObject object = document.object();

    const QJsonValue version = object.value(QLatin1String("version"));
    if (!version.isString() || !isValidVersion(version.toString())) {
        setError(error, QStringLiteral("\"version\" is missing or not a version"));
        return false;
    }

    const QJsonValue installer = object.value(QLatin1String("installerUrl"));
    const QUrl installerUrl(installer.toString(), QUrl::StrictMode);
    if (!installer.isString() || !isPermittedUrl(installerUrl)) {
        setError(error, QStringLiteral("\"installerUrl\" is missing or not an https address"));
        return false;
    }

    const QJsonValue digest = object.value(QLatin1String("sha256"));
    if (!digest.isString() || !isSha256Hex(digest.toString())) {
        setError(error, QStringLiteral("\"sha256\" is missing or not 64 hex digits"));
        return false;
    }

    if (release)
        *release = LatestRelease{version.toString(), installerUrl, digest.toString().toLower()};
    return true;
}

} // namespace netservice
