#pragma once
// Handlers and actions as bytes, for Copy and Paste between actors and
// between games: the same records the project file has, after a marker.
// Reading is bounded by the bytes given; bytes that hold no copy raise
// EGame with NoCopyMessage and leave the target as it was.
#include <cstdint>
#include <vector>

namespace lvk {

class TActor;
class THandler;

using TCopyBytes = std::vector<std::uint8_t>;

constexpr const char* NoCopyMessage = "The clipboard holds nothing Lurvik Studio can paste here";

TCopyBytes HandlerCopyBytes(const THandler& Handler);
// A new handler of Into, at its end.
THandler* PasteHandler(TActor& Into, const TCopyBytes& Bytes);

// Count actions of Handler from First on.
TCopyBytes ActionCopyBytes(const THandler& Handler, int First, int Count);
// The actions, inserted into Into at At (0..its count); how many.
int PasteActions(THandler& Into, int At, const TCopyBytes& Bytes);

// What the bytes hold, without reading further.
bool HoldsHandler(const TCopyBytes& Bytes);
bool HoldsActions(const TCopyBytes& Bytes);

}  // namespace lvk
