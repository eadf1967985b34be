// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace ondalink {

// What an element is. The stored and reported role byte keeps its raw value; decisions use this.
enum class ElementRole : quint8 { Unknown, Encoder, Decoder };

// The role byte of each kind.
inline constexpr quint8 kRoleEncoder = 1;
inline constexpr quint8 kRoleDecoder = 2;

constexpr ElementRole roleFromValue(int value) {
    return value == kRoleEncoder   ? ElementRole::Encoder
           : value == kRoleDecoder ? ElementRole::Decoder
                                   : ElementRole::Unknown;
}

} // namespace ondalink
