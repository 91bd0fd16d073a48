// Named constants of the KVQ unit protocol, one group per block.
#pragma once

#include <cstdint>

namespace tarnwick {

// FieldNumber: the unit settings carried in datagrams; bit n-1 of a mask stands for field n.
inline constexpr int FieldNumberVendorManufacturer = 1;
inline constexpr int FieldNumberSoftwareApplicationName = 2;
inline constexpr int FieldNumberSoftwareVersion = 3;
inline constexpr int FieldNumberHardwareVersion = 4;
inline constexpr int FieldNumberSerialNumber = 5;
inline constexpr int FieldNumberIPAddress = 6;
inline constexpr int FieldNumberSavedIPAddress = 7;
inline constexpr int FieldNumberSubnetMask = 8;
inline constexpr int FieldNumberDefaultGateway = 9;
inline constexpr int FieldNumberUseDHCP = 10;
inline constexpr int FieldNumberDNSServer = 11;
inline constexpr int FieldNumberHostName = 12;
inline constexpr int FieldNumberMACAddress = 13;
inline constexpr int FieldNumberDIPSwitch = 14;
inline constexpr int FieldNumberUnitID = 15;
inline constexpr int FieldNumberDeviceInformation = 16;
inline constexpr int FieldNumberFreeDisk = 17;
inline constexpr int FieldNumberBackupStatus = 18;
inline constexpr int FieldNumberLastSetting = FieldNumberDeviceInformation;

constexpr std::uint16_t FieldBit(int field) {
    return static_cast<std::uint16_t>(1u << (field - 1));
}

// CommandBits (header offset 8).
inline constexpr std::uint8_t CommandBitsSetup = 0x01;
inline constexpr std::uint8_t CommandBitsOther2 = 0x02;
inline constexpr std::uint8_t CommandBitsOther4 = 0x04;
inline constexpr std::uint8_t CommandBitsOther8 = 0x08;
inline constexpr std::uint8_t CommandBitsFromConsole = 0x40;
inline constexpr std::uint8_t CommandBitsRequest = CommandBitsFromConsole | CommandBitsSetup;

// FunctionCode (header offset 19).
inline constexpr std::uint8_t FunctionCodeIgnoredFirst = 1;
inline constexpr std::uint8_t FunctionCodeIgnoredLast = 7;
inline constexpr std::uint8_t FunctionCodeIdentification = 16;
inline constexpr std::uint8_t FunctionCodeSelectUnit = 17;
inline constexpr std::uint8_t FunctionCodeUnselectUnit = 18;
inline constexpr std::uint8_t FunctionCodeChangeSettings = 19;

// MessageClass (header offset 20).
inline constexpr std::uint8_t MessageClass1 = 1;
inline constexpr std::uint8_t MessageClass2 = 2;
inline constexpr std::uint8_t MessageClass3 = 3;
inline constexpr std::uint8_t MessageClass4 = 4;
inline constexpr std::uint8_t MessageClass5 = 5;
inline constexpr std::uint8_t MessageClass6 = 6;
inline constexpr std::uint8_t MessageClassChangeRequest = MessageClass1;
inline constexpr std::uint8_t MessageClassIdentificationRequest = MessageClass4;
inline constexpr std::uint8_t MessageClassIdentificationReply = MessageClass5;
inline constexpr std::uint8_t MessageClassSelectRequest = MessageClass6;
inline constexpr std::uint8_t MessageClassChangeReply = MessageClass6;

// MessageFormat (header offset 21).
inline constexpr std::uint8_t MessageFormatCode = 1;

// MessageFieldsStartPositions: header offsets.
inline constexpr std::size_t MessageFieldsStartPositionsCommandBits = 8;
inline constexpr std::size_t MessageFieldsStartPositionsReservedWord1 = 9;
inline constexpr std::size_t MessageFieldsStartPositionsMessageLength = 17;
inline constexpr std::size_t MessageFieldsStartPositionsFunctionCode = 19;
inline constexpr std::size_t MessageFieldsStartPositionsMessageClass = 20;
inline constexpr std::size_t MessageFieldsStartPositionsFormatCode = 21;
inline constexpr std::size_t MessageFieldsStartPositionsDataLength = 22;
inline constexpr std::size_t MessageFieldsStartPositionsData = 24;

// FieldLength: sizes within the header.
inline constexpr std::size_t FieldLengthMagic = 8;
inline constexpr std::size_t FieldLengthHeader = 24;
// MessageLength counts from offset 19: function code, class, format code and data length.
inline constexpr std::size_t FieldLengthMessageLengthOverhead = 5;
inline constexpr std::size_t FieldLengthMinimumDatagram = 11;

// Version: the protocol version carried as text.
inline constexpr char VersionNumbers001[] = "001";

// PacketIDConstants.
inline constexpr char PacketIDConstantsMagic[] = "QZUDP001";
inline constexpr char PacketIDConstantsRequestDigitWidth[] = "04";
inline constexpr int PacketIDConstantsRequestMaskDigits = 4;
inline constexpr int PacketIDConstantsRequestFieldDigits = 2;
inline constexpr char MessageDataFieldSeparator = ':';
inline constexpr char MessageDataFieldTerminator = '\0';

// ConstantsCommKVQWithKVQConsoleSetup: the one port, both ends.
inline constexpr std::uint16_t ConstantsCommKVQWithKVQConsoleSetupPort = 10021;
inline constexpr char ConstantsCommKVQWithKVQConsoleSetupBroadcastAddress[] = "255.255.255.255";

// Field 10 travels as text.
inline constexpr char DHCPTextOn[] = "TRUE";
inline constexpr char DHCPTextOff[] = "FALSE";

// The fields that find a unit's row: only the MAC address.
inline constexpr std::uint16_t KeyFieldMask = FieldBit(FieldNumberMACAddress);

} // namespace tarnwick
