// What a resume reads from the fleet log: each unit's last word, and whose pager holds which image.
#include <gtest/gtest.h>

#include <fstream>

#include "fleet_log.h"
#include "temp_dir.h"

namespace zr {
namespace {

TEST(FleetLog, EachUnitCountsByItsLastLineAndEveryWrittenImageNamesItsUnit) {
    testing::TempDir dir;
    const auto log = dir / "log.csv";
    std::ofstream(log) << "time,unit,port,firmware,outcome,message,checksum,pieces,image\r\n"
                          "t1,A,p,5.10,written,Write Sucess !,0001,32,aaa\r\n"
                          "t2,B,p,5.10,written,Write Sucess !,0002,32,bbb\r\n"
                          "t3,B,p,5.10,failed,Write Error !,0002,14,bbb\r\n"   // B's pager lost its image
                          "t4,C,p,5.10,failed,Write Error !,0003,,ccc\r\n"
                          "t5,C,p,5.10,written,Write Sucess !,0003,32,ccc\r\n"
                          "t6,A,p,5.10,written,Write Sucess !,0004,32,aa2\r\n"  // A corrected
                          "t7,D,p,,skipped,,,,\r\n"
                          "t8,E,p,5.10,written,Write Sucess !,0005,32,eee\r\n"
                          "t9,E,p,,no pager answered,The new functions...,0005,,eee\r\n";
    const auto read = std::get<FleetLog>(ReadFleetLog(log));
    EXPECT_FALSE(read.oldForm);
    ASSERT_EQ(read.written.size(), 2u);
    EXPECT_EQ(read.written.at("A").identity, "aa2");
    EXPECT_EQ(read.written.at("C").time, "t5");
    // A pager holding A's first image is A's pager all the same.
    for (const auto& [identity, unit] : {std::pair{"aaa", "A"}, {"aa2", "A"}, {"bbb", "B"}, {"ccc", "C"}})
        EXPECT_EQ(read.byImage.at(identity).unit, unit) << identity;
    // A pager's two checksum bytes tell at once that it holds none of the images written.
    for (const std::uint16_t checksum : {0x0001, 0x0003, 0x0004, 0x0005}) EXPECT_TRUE(read.MayHold(checksum));
    EXPECT_FALSE(read.MayHold(0x0006));
}

TEST(FleetLog, AWrittenLineWhoseChecksumCannotBeReadMakesEveryPagerWorthAWholeLook) {
    testing::TempDir dir;
    const auto log = dir / "log.csv";
    std::ofstream(log) << "time,unit,port,firmware,outcome,message,checksum,pieces,image\r\n"
                          "t1,A,p,5.10,written,Write Sucess !,0001,32,aaa\r\n"
                          "t2,B,p,5.10,written,Write Sucess !,zz,32,bbb\r\n";
    EXPECT_TRUE(std::get<FleetLog>(ReadFleetLog(log)).MayHold(0x0006));
}

TEST(FleetLog, AnOldLogIsReadAsWritingNothingAndUpgradedWhole) {
    testing::TempDir dir;
    const auto log = dir / "log.csv";
    std::ofstream(log) << "time,unit,port,firmware,outcome,message,checksum,pieces\r\n"
                          "t1,A,p,5.10,written,\"Write Sucess !\",0001,32\r\n";
    const auto old = std::get<FleetLog>(ReadFleetLog(log));
    EXPECT_TRUE(old.oldForm);
    EXPECT_TRUE(old.written.empty());
    ASSERT_FALSE(UpgradeFleetLog(log));
    EXPECT_EQ(std::get<std::string>(ReadTextFile(log)),
              "time,unit,port,firmware,outcome,message,checksum,pieces,image\r\n"
              "t1,A,p,5.10,written,Write Sucess !,0001,32,\r\n");
    EXPECT_FALSE(std::get<FleetLog>(ReadFleetLog(log)).oldForm);
}

}  // namespace
}  // namespace zr
