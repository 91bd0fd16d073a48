#include "protocol/datagram.h"

#include "protocol/constants.h"
#include "protocol/hex_text.h"

namespace tarnwick {
namespace {

void AppendWord(std::string& out, std::size_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

} // namespace

std::optional<std::string> BuildDatagram(std::uint8_t commandBits, std::uint8_t functionCode,
                                         std::uint8_t messageClass, std::string_view dataPart) {
    if (dataPart.size() > MaximumDataPartLength)
        return std::nullopt;
    std::string out;
    out.reserve(FieldLengthHeader + dataPart.size());
    out.append(PacketIDConstantsMagic);
    out.push_back(static_cast<char>(commandBits));
    for (int word = 0; word < 4; ++word)
        AppendWord(out, 0);
    AppendWord(out, FieldLengthMessageLengthOverhead + dataPart.size());
    out.push_back(static_cast<char>(functionCode));
    out.push_back(static_cast<char>(messageClass));
    out.push_back(static_cast<char>(MessageFormatCode));
    AppendWord(out, dataPart.size());
    out.append(dataPart);
    return out;
}

std::optional<std::string> BuildRequest(std::uint8_t functionCode, std::uint8_t messageClass,
                                        std::string_view dataPart) {
    return BuildDatagram(CommandBitsRequest, functionCode, messageClass, dataPart);
}

const std::string& IdentificationRequest() {
    static const std::string request =
        *BuildRequest(FunctionCodeIdentification, MessageClassIdentificationRequest, {});
    return request;
}

void AppendFieldItem(std::string& dataPart, int fieldNumber, std::string_view value) {
    dataPart +=
        WriteHex(static_cast<std::uint32_t>(fieldNumber), PacketIDConstantsRequestFieldDigits);
    dataPart.push_back(MessageDataFieldSeparator);
    dataPart.append(value);
    dataPart.push_back(MessageDataFieldTerminator);
}

std::string BeginDataPart(std::string_view versionText, std::uint16_t filterMask,
                          std::uint16_t changeMask) {
    std::string data(versionText);
    data.push_back(MessageDataFieldTerminator);
    data += PacketIDConstantsRequestDigitWidth;
    data += WriteHex(filterMask, PacketIDConstantsRequestMaskDigits);
    data += WriteHex(changeMask, PacketIDConstantsRequestMaskDigits);
    return data;
}

} // namespace tarnwick
