#include "robot/http_answers.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include "robot/csv_rows.h"

namespace velmora::robot {
namespace {

TEST(ClientAddressTest, ForwardedForCountsOnlyFromAProxyOnLoopback) {
  httplib::Request req;
  req.remote_addr = "127.0.0.1";
  req.set_header("X-Forwarded-For", "10.0.0.9, 192.0.2.7");
  EXPECT_EQ(ClientAddress(req, true), "192.0.2.7");  // the hop the proxy added
  EXPECT_EQ(ClientAddress(req, false), "127.0.0.1");
  req.remote_addr = "198.51.100.4";  // not through the proxy: the header is the client's own
  EXPECT_EQ(ClientAddress(req, true), "198.51.100.4");
}

TEST(CsvObjectsTest, RowsBecomeObjectsWithNumbersAsNumbers) {
  const Json rows = CsvObjects(
      "rank,call,category,score,reduction\n1,OK1ZEB,\"SINGLE-OP, \"\"ALL\"\"\",438210,1.5\n"
      "2,DL/OK1ZEB/P,UNKNOWN,-3,0\n");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0]["rank"], 1);
  EXPECT_EQ(rows[0]["category"], "SINGLE-OP, \"ALL\"");
  EXPECT_EQ(rows[0]["score"], 438210);
  EXPECT_DOUBLE_EQ(rows[0]["reduction"].get<double>(), 1.5);
  EXPECT_EQ(rows[1]["call"], "DL/OK1ZEB/P");
  EXPECT_EQ(rows[1]["score"], -3);
  EXPECT_TRUE(CsvObjects("").empty());
}

}  // namespace
}  // namespace velmora::robot
