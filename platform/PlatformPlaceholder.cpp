// Replaced by the platform stand-ins.
namespace Platform {}
