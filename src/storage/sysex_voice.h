// The 32-voice bulk dump of a six-operator FM synthesizer: 4104 bytes, a 6-byte header
// (F0 43 0n 09 20 00, n the MIDI channel), 32 packed voices of 128 bytes, a checksum and F7.
//
// Packed voice: six operator blocks of 17 bytes, operator 6 first (operator a, counted from 0
// for operator 1, starts at byte 85 − 17a), then the voice bytes from 102. Every field is kept
// within its range on unpacking, so a damaged dump gives a voice, never an out-of-range index.
//
// Each algorithm has a routing text: pairs "XY" before the "+" (operator X modulates operator
// Y), the feedback path "+XY", the carriers after "-".
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelko {

constexpr std::size_t kBulkDumpSize = 4104;
constexpr std::size_t kBulkDumpHeaderSize = 6;
constexpr std::size_t kPackedVoiceSize = 128;
constexpr int kBulkDumpVoices = 32;
constexpr int kFmOperators = 6;
constexpr int kFmAlgorithms = 32;

struct FmOperator {
    std::array<int, 4> rates{};    // 0–99
    std::array<int, 4> levels{};   // 0–99
    int breakPoint = 0;            // 0–99, key 21 + breakPoint
    int leftDepth = 0;             // 0–99
    int rightDepth = 0;            // 0–99
    int leftCurve = 0;             // 0 −LIN, 1 −EXP, 2 +EXP, 3 +LIN
    int rightCurve = 0;
    int rateScaling = 0;           // 0–7
    int detune = 7;                // 0–14, 7 = none
    int ampModSensitivity = 0;     // 0–3
    int velocitySensitivity = 0;   // 0–7
    int outputLevel = 0;           // 0–99
    bool fixedFrequency = false;
    int coarse = 1;                // 0–31
    int fine = 0;                  // 0–99
};

struct FmVoice {
    std::array<FmOperator, kFmOperators> operators{};  // operator 1 first
    std::array<int, 4> pitchRates{};   // 0–99
    std::array<int, 4> pitchLevels{};  // 0–99, 50 = no change
    int algorithm = 0;                 // 0–31
    int feedback = 0;                  // 0–7
    bool keySync = true;               // oscillators restart at every note
    int lfoSpeed = 0;                  // 0–99
    int lfoDelay = 0;                  // 0–99
    int lfoPitchDepth = 0;             // 0–99
    int lfoAmpDepth = 0;               // 0–99
    bool lfoSync = false;
    int lfoWave = 0;                   // 0 triangle, 1 saw down, 2 saw up, 3 square, 4 sine, 5 S&H
    int pitchModSensitivity = 0;       // 0–7
    int transpose = 24;                // 0–48 semitones, 24 = none
    std::string name;                  // 10 characters, unprintable ones as spaces
};

// True for exactly a bulk dump of 32 voices: 4104 bytes starting F0 43 0n 09.
bool isBulkDump(const std::uint8_t* data, std::size_t size);
// Packed voice v (0–31) of a bulk dump.
const std::uint8_t* packedVoice(const std::uint8_t* dump, int voice);
FmVoice unpackVoice(const std::uint8_t* packed);
// The inverse, for building dumps (tests and tools).
void packVoice(const FmVoice& voice, std::uint8_t* packed);

struct FmRouting {
    std::vector<std::pair<int, int>> modulations;  // (source, target) operators, 1–6
    std::pair<int, int> feedback{0, 0};            // (source, target), or 0, 0 for none
    std::vector<int> carriers;                     // operators 1–6
};

// The routing text of algorithm 0–31 (others: algorithm 0's).
std::string_view algorithmRoutingText(int algorithm);
FmRouting parseRoutingText(std::string_view text);

}  // namespace pelko
