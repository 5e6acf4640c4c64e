// placeholder
namespace fw { int CoreVersion() { return 1; } }
