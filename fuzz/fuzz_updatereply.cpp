// The update service's answer, as it arrives from the network.
#include "fuzz/fuzzsupport.h"
#include "netservice/updateprotocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    netservice::LatestRelease release;
    if (!netservice::parseLatestReply(fuzzsupport::bytes(data, size), &release))
        return 0;
    // Whatever the service says, only these may ever be offered to the user.
    if (!netservice::isValidVersion(release.version))
        fuzzsupport::fail("an accepted reply has a valid version");
    if (!netservice::isPermittedUrl(release.installerUrl))
        fuzzsupport::fail("an accepted reply has a permitted installer address");
    if (!netservice::isSha256Hex(release.sha256) || release.sha256 != release.sha256.toLower())
        fuzzsupport::fail("an accepted reply has a lower-case SHA-256 digest");
    return 0;
}
