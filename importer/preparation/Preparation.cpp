#include "importer/preparation/Preparation.h"

namespace Importer {

void prepareImport(ImportModel&, Common::HostObject&, const std::wstring&, int, Common::Platform&) {}

}  // namespace Importer
