// A CEDXM file from random bytes: loaded and read into the import model,
// then prepared for building against a host that does nothing.

#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "common/host/HostDocument.h"
#include "importer/model/ImportModel.h"
#include "importer/preparation/Preparation.h"
#include "importer/reading/CedxmReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static TestSupport::FakePlatform platform;
    static const std::wstring iniPath = Fuzz::wide(CEDXM_SOURCE_DIR "/resources/importer/CDX2DM.ini");
    const std::string path = Fuzz::writeScratch("input.xml", data, size);

    Importer::ImportModel model;
    std::wstring problem;
    if (!Importer::loadCedxmFile(model, Fuzz::wide(path), problem)) {
        if (problem.empty()) {
            __builtin_trap();  // a refused file must say why
        }
        return 0;
    }
    Common::HostDocument noHost;
    // Both ways of pulling openings back are exercised, chosen by the input.
    Importer::prepareImport(model, noHost, iniPath, static_cast<int>(size & 1U), platform);
    platform.errors.clear();  // what one input reported is not kept for the next
    platform.messages.clear();
    platform.captions.clear();
    platform.messageOwners.clear();
    return 0;
}
