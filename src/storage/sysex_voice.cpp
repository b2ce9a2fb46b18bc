#include "storage/sysex_voice.h"

#include <algorithm>

namespace pelko {
namespace {

constexpr std::array<std::string_view, kFmAlgorithms> kRoutingTexts = {
    "21435465+66-13",   "21435465+22-13",   "21325465+66-14",    "21325465+46-14",   "214365+66-135",
    "214365+56-135",    "21435365+66-13",   "21435365+44-13",    "21435365+22-13",   "21325464+33-14",
    "21325464+66-14",   "21435363+22-13",   "21435363+66-13",    "21435464+66-13",   "21435464+22-13",
    "2131514365+66-1",  "2131514365+22-1",  "2131415465+33-1",   "21326465+66-145",  "31325464+33-124",
    "31326465+33-1245", "21636465+66-1345", "326465+66-1245",    "636465+66-12345",  "6465+66-12345",
    "325464+66-124",    "325464+33-124",    "215443+55-136",     "4365+66-1235",     "4354+55-1236",
    "65+66-12345",      "+66-123456"};

// Operator block offsets and voice byte positions of the packed layout.
constexpr std::size_t kOperatorBlockSize = 17;
constexpr std::size_t kOperator1Block = 85;
constexpr std::size_t kPitchRates = 102;
constexpr std::size_t kPitchLevels = 106;
constexpr std::size_t kAlgorithm = 110;
constexpr std::size_t kFeedbackAndSync = 111;
constexpr std::size_t kLfoSpeed = 112;
constexpr std::size_t kLfoDelay = 113;
constexpr std::size_t kLfoPitchDepth = 114;
constexpr std::size_t kLfoAmpDepth = 115;
constexpr std::size_t kLfoFlags = 116;
constexpr std::size_t kTranspose = 117;
constexpr std::size_t kName = 118;
constexpr std::size_t kNameLength = 10;

int within(int value, int highest) { return std::clamp(value, 0, highest); }

std::size_t operatorBlock(int a) { return kOperator1Block - kOperatorBlockSize * static_cast<std::size_t>(a); }

bool isDigit(char c) { return c >= '1' && c <= '6'; }

}  // namespace

bool isBulkDump(const std::uint8_t* data, std::size_t size)
{
    return data != nullptr && size == kBulkDumpSize && data[0] == 0xF0 && data[1] == 0x43 && (data[2] & 0xF0) == 0 &&
           data[3] == 0x09;
}

const std::uint8_t* packedVoice(const std::uint8_t* dump, int voice)
{
    return dump + kBulkDumpHeaderSize + kPackedVoiceSize * static_cast<std::size_t>(voice);
}

FmVoice unpackVoice(const std::uint8_t* p)
{
    FmVoice v;
    for (int a = 0; a < kFmOperators; ++a) {
        const std::uint8_t* b = p + operatorBlock(a);
        FmOperator& op = v.operators[static_cast<std::size_t>(a)];
        for (std::size_t i = 0; i < 4; ++i) {
            op.rates[i] = within(b[i], 99);
            op.levels[i] = within(b[4 + i], 99);
        }
        op.breakPoint = within(b[8], 99);
        op.leftDepth = within(b[9], 99);
        op.rightDepth = within(b[10], 99);
        op.leftCurve = b[11] & 3;
        op.rightCurve = (b[11] >> 2) & 3;
        op.rateScaling = b[12] & 7;
        op.detune = within(b[12] >> 3, 14);
        op.ampModSensitivity = b[13] & 3;
        op.velocitySensitivity = within(b[13] >> 2, 7);
        op.outputLevel = within(b[14], 99);
        op.fixedFrequency = (b[15] & 1) != 0;
        op.coarse = (b[15] >> 1) & 31;
        op.fine = within(b[16], 99);
    }
    for (std::size_t i = 0; i < 4; ++i) {
        v.pitchRates[i] = within(p[kPitchRates + i], 99);
        v.pitchLevels[i] = within(p[kPitchLevels + i], 99);
    }
    v.algorithm = p[kAlgorithm] & 31;
    v.feedback = p[kFeedbackAndSync] & 7;
    v.keySync = (p[kFeedbackAndSync] & 8) != 0;
    v.lfoSpeed = within(p[kLfoSpeed], 99);
    v.lfoDelay = within(p[kLfoDelay], 99);
    v.lfoPitchDepth = within(p[kLfoPitchDepth], 99);
    v.lfoAmpDepth = within(p[kLfoAmpDepth], 99);
    v.lfoSync = (p[kLfoFlags] & 1) != 0;
    v.lfoWave = within((p[kLfoFlags] >> 1) & 7, 5);
    v.pitchModSensitivity = (p[kLfoFlags] >> 4) & 7;
    v.transpose = within(p[kTranspose], 48);
    v.name.resize(kNameLength);
    for (std::size_t i = 0; i < kNameLength; ++i) {
        const std::uint8_t c = p[kName + i];
        v.name[i] = c >= 32 && c < 127 ? static_cast<char>(c) : ' ';
    }
    return v;
}

void packVoice(const FmVoice& v, std::uint8_t* p)
{
    std::fill(p, p + kPackedVoiceSize, 0);
    for (int a = 0; a < kFmOperators; ++a) {
        std::uint8_t* b = p + operatorBlock(a);
        const FmOperator& op = v.operators[static_cast<std::size_t>(a)];
        for (std::size_t i = 0; i < 4; ++i) {
            b[i] = static_cast<std::uint8_t>(within(op.rates[i], 99));
            b[4 + i] = static_cast<std::uint8_t>(within(op.levels[i], 99));
        }
        b[8] = static_cast<std::uint8_t>(within(op.breakPoint, 99));
        b[9] = static_cast<std::uint8_t>(within(op.leftDepth, 99));
        b[10] = static_cast<std::uint8_t>(within(op.rightDepth, 99));
        b[11] = static_cast<std::uint8_t>((op.leftCurve & 3) | ((op.rightCurve & 3) << 2));
        b[12] = static_cast<std::uint8_t>((op.rateScaling & 7) | (within(op.detune, 14) << 3));
        b[13] = static_cast<std::uint8_t>((op.ampModSensitivity & 3) | (within(op.velocitySensitivity, 7) << 2));
        b[14] = static_cast<std::uint8_t>(within(op.outputLevel, 99));
        b[15] = static_cast<std::uint8_t>((op.fixedFrequency ? 1 : 0) | ((op.coarse & 31) << 1));
        b[16] = static_cast<std::uint8_t>(within(op.fine, 99));
    }
    for (std::size_t i = 0; i < 4; ++i) {
        p[kPitchRates + i] = static_cast<std::uint8_t>(within(v.pitchRates[i], 99));
        p[kPitchLevels + i] = static_cast<std::uint8_t>(within(v.pitchLevels[i], 99));
    }
    p[kAlgorithm] = static_cast<std::uint8_t>(v.algorithm & 31);
    p[kFeedbackAndSync] = static_cast<std::uint8_t>((v.feedback & 7) | (v.keySync ? 8 : 0));
    p[kLfoSpeed] = static_cast<std::uint8_t>(within(v.lfoSpeed, 99));
    p[kLfoDelay] = static_cast<std::uint8_t>(within(v.lfoDelay, 99));
    p[kLfoPitchDepth] = static_cast<std::uint8_t>(within(v.lfoPitchDepth, 99));
    p[kLfoAmpDepth] = static_cast<std::uint8_t>(within(v.lfoAmpDepth, 99));
    p[kLfoFlags] = static_cast<std::uint8_t>((v.lfoSync ? 1 : 0) | (within(v.lfoWave, 5) << 1) |
                                             ((v.pitchModSensitivity & 7) << 4));
    p[kTranspose] = static_cast<std::uint8_t>(within(v.transpose, 48));
    for (std::size_t i = 0; i < kNameLength; ++i) {
        p[kName + i] = static_cast<std::uint8_t>(i < v.name.size() ? v.name[i] : ' ');
    }
}

std::string_view algorithmRoutingText(int algorithm)
{
    return kRoutingTexts[static_cast<std::size_t>(algorithm >= 0 && algorithm < kFmAlgorithms ? algorithm : 0)];
}

FmRouting parseRoutingText(std::string_view text)
{
    FmRouting routing;
    std::size_t i = 0;
    // Pairs up to the "+".
    while (i + 1 < text.size() && isDigit(text[i]) && isDigit(text[i + 1])) {
        routing.modulations.emplace_back(text[i] - '0', text[i + 1] - '0');
        i += 2;
    }
    if (i + 2 < text.size() && text[i] == '+' && isDigit(text[i + 1]) && isDigit(text[i + 2])) {
        routing.feedback = {text[i + 1] - '0', text[i + 2] - '0'};
        i += 3;
    }
    if (i < text.size() && text[i] == '-') {
        for (++i; i < text.size() && isDigit(text[i]); ++i) {
            routing.carriers.push_back(text[i] - '0');
        }
    }
    return routing;
}

}  // namespace pelko
