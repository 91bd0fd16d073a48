// Writes the fuzzer's seed corpus: valid replies of both kinds and a few near misses.
#include "tests/support/raw_datagram.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_seeds DIRECTORY\n";
        return 2;
    }
    using namespace tarnwick::test;
    const std::string dir = argv[1];
    int n = 0;
    auto write = [&](const std::string& bytes) {
        std::ofstream(dir + "/seed-" + std::to_string(n++), std::ios::binary) << bytes;
    };
    for (int i = 0; i < 4; ++i) {
        write(SampleUnitReply(i));
        write(SampleUnitReply(i, true));
    }
    write(IdentificationReplyBytes(
        {{"0D", "00:11:22:33:44:01"}, {"11", "FFFFFFFF00000001"}, {"12", "03"}, {"13", "extra"}}));
    write(ChangeReplyBytes({{"0D", "00:11:22:33:44:02"}, {"0A", "TRUE"}, {"07", "10.0.0.7"}}));
    write(IdentificationReplyBytes({{"0D", ""}}));
    RawDatagram other;
    other.commandBits = 3;
    write(other.Bytes());
    return 0;
}
