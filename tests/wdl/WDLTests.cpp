#include <gtest/gtest.h>

#include <thread>

#include "WDL_HeapBuf.h"
#include "WDL_Mutex.h"
#include "WDL_PtrList.h"
#include "WDL_String.h"
#include "WDL_Version.h"

TEST(WDLString, EmptyUntilSetAndCopiesText)
{
  WDL_String s;
  EXPECT_STREQ("", s.Get());
  char src[] = "gain";
  s.Set(src);
  src[0] = 'x';
  EXPECT_STREQ("gain", s.Get());
  s.Append(" knob", 3);
  EXPECT_STREQ("gain kn", s.Get());
  s.SetLen(2);
  EXPECT_STREQ("ga", s.Get());
  s.Set(nullptr);
  EXPECT_STREQ("", s.Get());
}

TEST(WDLString, FormattedIsCutToMaxLenAndSelfAppendIsSafe)
{
  WDL_String s;
  s.SetFormatted(5, "%d-%s", 12345, "abc");
  EXPECT_STREQ("12345", s.Get());
  s.Set("abc");
  s.Append(s.Get());
  EXPECT_STREQ("abcabc", s.Get());
  s.Set(s.Get() + 2);
  EXPECT_STREQ("cabc", s.Get());
  s.DeleteSub(1, 2);
  EXPECT_STREQ("cc", s.Get());
  s.SetFormatted(64, "%s-%s", s.Get(), s.Get());  // arguments from the string itself
  EXPECT_STREQ("cc-cc", s.Get());
  s.AppendFormatted(64, "+%s", s.Get());
  EXPECT_STREQ("cc-cc+cc-cc", s.Get());
}

TEST(WDLHeapBuf, KeepsContentsAndGrowsByGranularity)
{
  WDL_HeapBuf b;
  EXPECT_EQ(4096, b.GetGranularity());
  char* p = static_cast<char*>(b.Resize(10));
  ASSERT_NE(nullptr, p);
  for (int i = 0; i < 10; ++i) p[i] = static_cast<char>(i);
  p = static_cast<char*>(b.Resize(5000));
  ASSERT_NE(nullptr, p);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(i, p[i]);
  EXPECT_EQ(5000, b.GetSize());
}

TEST(WDLHeapBuf, FailedResizeLeavesBufferAsItWas)
{
  WDL_TypedBuf<double> b;
  double* p = b.Resize(4);
  ASSERT_NE(nullptr, p);
  p[3] = 1.5;
  EXPECT_EQ(nullptr, b.Resize(-1));
  EXPECT_EQ(nullptr, b.Resize(0x7fffffff));  // more bytes than an int can count
  EXPECT_EQ(4, b.GetSize());
  EXPECT_EQ(1.5, b.Get()[3]);
}

TEST(WDLPtrList, InsertClampsAndGetIsNullOutside)
{
  WDL_PtrList<int> l;
  int a = 1, b = 2, c = 3;
  l.Add(&a);
  l.Insert(99, &c);
  l.Insert(-5, &b);
  ASSERT_EQ(3, l.GetSize());
  EXPECT_EQ(&b, l.Get(0));
  EXPECT_EQ(&a, l.Get(1));
  EXPECT_EQ(&c, l.Get(2));
  EXPECT_EQ(nullptr, l.Get(3));
  EXPECT_EQ(nullptr, l.Get(-1));
  EXPECT_EQ(1, l.Find(&a));
  l.Delete(0);
  EXPECT_EQ(&a, l.Get(0));
  l.Delete(7);
  EXPECT_EQ(2, l.GetSize());
}

TEST(WDLPtrList, DeletesOwnedElementsOnlyWhenAsked)
{
  struct Counted
  {
    int* n;
    ~Counted() { ++*n; }
  };
  int deleted = 0;
  WDL_PtrList<Counted> l;
  for (int i = 0; i < 3; ++i) l.Add(new Counted{&deleted});
  l.Delete(1, true);
  EXPECT_EQ(1, deleted);
  l.Empty(true);
  EXPECT_EQ(3, deleted);
  EXPECT_EQ(0, l.GetSize());
}

TEST(WDLMutex, IsRecursiveAndExcludesOtherThreads)
{
  WDL_Mutex m;
  int counter = 0;
  auto work = [&] {
    for (int i = 0; i < 10000; ++i)
    {
      WDL_MutexLock outer(&m);
      WDL_MutexLock inner(&m);  // the holder may lock again
      ++counter;
    }
  };
  std::thread t1(work), t2(work);
  t1.join();
  t2.join();
  EXPECT_EQ(20000, counter);
}

TEST(WDLVersion, PackedDecimalAndTextForms)
{
  int v = MakePackedVersion(1, 2, 3);
  EXPECT_EQ(0x010203, v);
  int ma, mi, pa;
  GetVersionParts(v, &ma, &mi, &pa);
  EXPECT_EQ(1, ma);
  EXPECT_EQ(2, mi);
  EXPECT_EQ(3, pa);
  EXPECT_EQ(10203, GetDecimalVersion(v));
  char buf[32];
  GetVersionStr(65536, buf);
  EXPECT_STREQ("v1.0.0", buf);
  GetVersionParts(-1, &ma, nullptr, nullptr);  // major is read as unsigned
  EXPECT_EQ(65535, ma);
}
