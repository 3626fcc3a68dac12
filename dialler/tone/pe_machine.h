#pragma once
// Reads the target machine of a PE image from its first bytes, so a library
// that will not load can be told apart as "built for another machine" rather
// than "damaged".

#include <cstddef>
#include <cstdint>
#include <optional>

inline constexpr std::uint16_t kMachineI386 = 0x014C;

// The COFF Machine field, or empty when the bytes are not a PE image.
std::optional<std::uint16_t> PeMachine(const std::uint8_t* bytes, std::size_t size);
