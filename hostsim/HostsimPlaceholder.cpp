// Replaced by the simulated host.
namespace HostSim {}
