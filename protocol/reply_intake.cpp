#include "protocol/reply_intake.h"

#include "protocol/constants.h"
#include "protocol/extras_rendering.h"
#include "protocol/hex_text.h"

#include <algorithm>

namespace tarnwick {
namespace {

constexpr std::size_t VersionEndBias = 11; // the version text is read below MessageLength + 11
constexpr std::uint16_t MinimumVersionMessageLength = 13;
constexpr std::uint32_t LargestMask = 0xFFFF;
// Field numbers are signed 16-bit on both sides; a larger one cannot name a field.
constexpr std::uint32_t LargestFieldNumber = 0x7FFF;
constexpr int DigitWidthDigits = 2;

MessageReport Report(std::string title, std::string text) {
    return {MessageIcon::Information, std::move(title), std::move(text)};
}

std::uint16_t ReadWord(std::string_view bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[offset]) |
                                      (static_cast<unsigned char>(bytes[offset + 1]) << 8));
}

enum class ReplyKind { Identification, Change };

// The data part after the version text, up to the end the header names.
class DataPartDecoder {
public:
    DataPartDecoder(std::string_view bytes, std::size_t p, std::size_t end)
        : bytes_(bytes), p_(p), end_(end) {}

    bool Decode(ReplyKind kind, UnitReplyFields& fields, std::optional<std::int32_t>& backup) {
        // Cleared first: a reply that fails still names its unit by what it got to.
        for (auto& entry : fields) {
            entry.fieldNumber = 0;
            entry.value.clear();
        }
        backup.reset();
        std::uint32_t width = 0;
        if (!ReadHexDigits(DigitWidthDigits, LargestMask, width) || p_ >= end_)
            return false;
        for (int mask = 0; mask < 2; ++mask) {
            std::uint32_t value = 0;
            if (!ReadHexDigits(width, LargestMask, value) || p_ >= end_)
                return false;
        }
        while (p_ < end_) {
            if (!DecodeItem(kind, fields, backup))
                return false;
        }
        return true;
    }

private:
    // Up to `count` digits while data is left; false on a non-digit or a value too large.
    bool ReadHexDigits(std::uint32_t count, std::uint32_t largest, std::uint32_t& value) {
        value = 0;
        for (std::uint32_t i = 0; i < count && p_ < end_; ++i, ++p_)
            if (!AppendHexDigit(value, static_cast<unsigned char>(bytes_[p_]), largest))
                return false;
        return true;
    }

    bool DecodeItem(ReplyKind kind, UnitReplyFields& fields, std::optional<std::int32_t>& backup) {
        std::uint32_t field = 0;
        for (; p_ < end_ && bytes_[p_] != MessageDataFieldSeparator; ++p_)
            if (!AppendHexDigit(field, static_cast<unsigned char>(bytes_[p_]), LargestFieldNumber))
                return false;
        if (p_ >= end_)
            return false;
        const std::uint32_t highest = kind == ReplyKind::Change
                                          ? static_cast<std::uint32_t>(FieldNumberLastSetting)
                                          : LargestFieldNumber;
        if (field < 1 || field > highest)
            return false;
        ++p_;
        const std::size_t valueStart = p_;
        const std::size_t nul = bytes_.find(MessageDataFieldTerminator, valueStart);
        if (nul == std::string_view::npos || nul >= end_)
            return false;
        const std::string_view value = bytes_.substr(valueStart, nul - valueStart);
        p_ = nul + 1;
        Store(static_cast<int>(field), value, fields, backup);
        return true;
    }

    static void Store(int field, std::string_view value, UnitReplyFields& fields,
                      std::optional<std::int32_t>& backup) {
        if (field <= FieldNumberLastSetting) {
            auto& entry = fields[static_cast<std::size_t>(field - 1)];
            entry.fieldNumber = static_cast<std::int16_t>(field);
            entry.value.assign(value);
            return;
        }
        if (field == FieldNumberBackupStatus)
            backup = DecodeBackupStatus(value);
        auto& extras = fields[ExtrasEntry];
        extras.fieldNumber = FieldNumberDeviceInformation;
        AppendExtraField(extras.value, field, value);
        extras.value += ',';
    }

    std::string_view bytes_;
    std::size_t p_;
    std::size_t end_;
};

// Where a reply's data part lies, once the header has been judged.
struct ReplyStart {
    ReplyKind kind;
    std::size_t dataStart;
    std::size_t end;
    std::string_view versionText;
};

template <typename Reply> Reply& Reuse(IntakeOutcome& outcome) {
    if (auto* reply = std::get_if<Reply>(&outcome))
        return *reply;
    return outcome.emplace<Reply>();
}

void DecodeReply(const ReplyStart& start, std::string_view bytes, IntakeOutcome& outcome) {
    DataPartDecoder decoder(bytes, start.dataStart, start.end);
    if (start.kind == ReplyKind::Change) {
        auto& reply = Reuse<ChangeReply>(outcome);
        std::optional<std::int32_t> backup;
        reply.valid = decoder.Decode(start.kind, reply.fields, backup);
        return;
    }
    auto& reply = Reuse<IdentificationReply>(outcome);
    if (!decoder.Decode(start.kind, reply.fields, reply.backupStatus)) {
        outcome = Dropped{};
        return;
    }
    reply.versionText.assign(start.versionText);
}

using HeaderVerdict = std::variant<Dropped, MessageReport, ReplyStart>;

HeaderVerdict JudgeHeader(std::string_view bytes, std::string_view senderAddress,
                          const std::vector<std::string>& localAddresses) {
    if (std::find(localAddresses.begin(), localAddresses.end(), senderAddress) !=
        localAddresses.end())
        return Dropped{};
    if (bytes.size() < FieldLengthMinimumDatagram)
        return Dropped{};
    const auto commandBits =
        static_cast<unsigned char>(bytes[MessageFieldsStartPositionsCommandBits]);
    if (commandBits & CommandBitsFromConsole)
        return Dropped{};
    // The header words end at offset 19; a shorter datagram cannot be judged.
    if (bytes.size() < MessageFieldsStartPositionsFunctionCode)
        return Dropped{};
    const std::uint16_t messageLength = ReadWord(bytes, MessageFieldsStartPositionsMessageLength);

    switch (commandBits) {
    case CommandBitsSetup:
        break;
    case CommandBitsOther2:
    case CommandBitsOther4:
    case CommandBitsOther8:
        return Dropped{};
    default:
        return Report("Unknown Command Bits", std::to_string(commandBits));
    }
    if (messageLength < FieldLengthMessageLengthOverhead)
        return Dropped{};
    const std::size_t end = MessageFieldsStartPositionsFunctionCode + messageLength;
    if (end > bytes.size())
        return Dropped{};

    const auto functionCode =
        static_cast<unsigned char>(bytes[MessageFieldsStartPositionsFunctionCode]);
    const auto messageClass =
        static_cast<unsigned char>(bytes[MessageFieldsStartPositionsMessageClass]);

    std::size_t offset = MessageFieldsStartPositionsData;
    const std::size_t versionLimit = messageLength + VersionEndBias;
    while (offset < versionLimit && bytes[offset] != MessageDataFieldTerminator)
        ++offset;
    const std::string_view versionText =
        bytes.substr(MessageFieldsStartPositionsData, offset - MessageFieldsStartPositionsData);
    if (messageLength < MinimumVersionMessageLength)
        return Report("Incorrect version number.", "");
    const std::size_t dataStart = offset + 1;

    if (functionCode >= FunctionCodeIgnoredFirst && functionCode <= FunctionCodeIgnoredLast)
        return Dropped{};
    if (functionCode < FunctionCodeIdentification || functionCode > FunctionCodeChangeSettings)
        return Report("Unknown Function Code", std::to_string(functionCode));
    if (messageClass < MessageClass1 || messageClass > MessageClass6)
        return Report("Unknown Message Class", std::to_string(messageClass));

    if (functionCode == FunctionCodeIdentification &&
        messageClass == MessageClassIdentificationReply) {
        if (versionText != VersionNumbers001)
            return Report("Version Number - Error", "Unknown version number <" +
                                                        std::string(versionText) + "> from " +
                                                        std::string(senderAddress));
        return ReplyStart{ReplyKind::Identification, dataStart, end, versionText};
    }
    if (functionCode == FunctionCodeChangeSettings && messageClass == MessageClassChangeReply) {
        if (versionText != VersionNumbers001)
            return Report("Unknown Version Number", std::string(versionText));
        return ReplyStart{ReplyKind::Change, dataStart, end, versionText};
    }
    return Dropped{};
}

} // namespace

IntakeOutcome DecodeDatagram(std::string_view bytes, std::string_view senderAddress,
                             const std::vector<std::string>& localAddresses) {
    IntakeOutcome outcome;
    DecodeDatagramInto(outcome, bytes, senderAddress, localAddresses);
    return outcome;
}

void DecodeDatagramInto(IntakeOutcome& outcome, std::string_view bytes,
                        std::string_view senderAddress,
                        const std::vector<std::string>& localAddresses) {
    HeaderVerdict verdict = JudgeHeader(bytes, senderAddress, localAddresses);
    if (const auto* start = std::get_if<ReplyStart>(&verdict))
        DecodeReply(*start, bytes, outcome);
    else if (auto* report = std::get_if<MessageReport>(&verdict))
        outcome = std::move(*report);
    else
        outcome = Dropped{};
}

} // namespace tarnwick
