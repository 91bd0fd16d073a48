#include "protocol/extras_rendering.h"

#include "protocol/constants.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(ExtrasRendering, FreeDiskHalves) {
    struct Case {
        const char* value;
        const char* text;
    };
    for (const Case& c : {
             Case{"0000040000001000", "Free Disk=1024/4096"},
             Case{"FFFFFFFF7fffffff", "Free Disk=-1/2147483647"},
             Case{"00000400", "Free Disk=1024/1024"},       // eight digits: the same both times
             Case{"1F", "Free Disk=31/31"},                 // shorter: whole both times
             Case{"000004000000100", "Free Disk=1024/256"}, // overlapping halves
             Case{"", "Free Disk=?/?"},
             Case{"zz00040000001000", "Free Disk=?/4096"},
             Case{"00000400xyz", "Free Disk=1024/?"},
         }) {
        EXPECT_EQ(RenderExtraField(FieldNumberFreeDisk, c.value), c.text) << c.value;
    }
}

TEST(ExtrasRendering, BackupStatusFromTheLastTwoCharacters) {
    struct Case {
        const char* value;
        int status;
        const char* text;
    };
    for (const Case& c : {
             Case{"00", 0, "Backups=Not Available!"},
             Case{"01", 1, "Backups=Available"},
             Case{"0002", 2, "Backups=CRC Error!"},
             Case{"3", 3, "Backups=Size Error!"},
             Case{"04", 4, "Backups=Not Found!"},
             Case{"07", 7, "Backups=07"},
             Case{"x12", 12, "Backups=x12"},
             Case{"5x", 5, "Backups=5x"},
             Case{"x5", 0, "Backups=Not Available!"},
             Case{"", 0, "Backups=Not Available!"},
         }) {
        EXPECT_EQ(DecodeBackupStatus(c.value), c.status) << c.value;
        EXPECT_EQ(RenderExtraField(FieldNumberBackupStatus, c.value), c.text) << c.value;
    }
}

} // namespace
} // namespace tarnwick
