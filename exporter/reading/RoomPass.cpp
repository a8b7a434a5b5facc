#include "exporter/reading/RoomPass.h"

namespace Exporter {

void readRooms(ExportModel&, Common::HostObject&) {}

}  // namespace Exporter
