#include "intake/ComponentModule.h"

#include "tests/support/GTest.h"

TEST(ComponentModule, TheProjectsComponentLoadsWithAllFourExportsAndBothObjects) {
    ComponentModule module;
    ASSERT_EQ(S_OK, LoadComponentModule(module));
    EXPECT_NE(nullptr, module.getClassObject);
    EXPECT_NE(nullptr, module.canUnloadNow);
    int count = 0;
    EXPECT_EQ(S_OK, module.getClassCount(&count));
    EXPECT_EQ(2, count);
    CLSID classId;
    IID interfaceId;
    EXPECT_EQ(S_OK, module.getClassInfo(1, &classId, &interfaceId));
    EXPECT_TRUE(IsEqualGUID(classId, CLSID_VxSignatureList));

    IFileDetector* detector = nullptr;
    EXPECT_EQ(S_OK, CreateComponentObject(module, CLSID_VxFileDetector, IID_IFileDetector,
                                          reinterpret_cast<void**>(&detector)));
    ASSERT_NE(nullptr, detector);
    EXPECT_EQ(S_FALSE, module.canUnloadNow());
    detector->Release();
    EXPECT_EQ(S_OK, module.canUnloadNow());

    void* wrong = reinterpret_cast<void*>(1);
    EXPECT_LT(CreateComponentObject(module, CLSID_VxFileDetector, IID_ISignatureList, &wrong), 0);
    EXPECT_EQ(nullptr, wrong);
    FreeComponentModule(module);
    EXPECT_EQ(nullptr, module.library);
}

TEST(ComponentModule, MissingLibraryOrExportsAreReportedAndCreationFails) {
    ComponentModule module;
    EXPECT_EQ(kComponentNotLoaded, LoadComponentModule(module, L"no-such-component.dll"));
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_FAIL,
              CreateComponentObject(module, CLSID_VxFileDetector, IID_IFileDetector, &object));
    EXPECT_EQ(nullptr, object);

    // A library found on the search path that lacks the exports.
    EXPECT_EQ(kComponentExportMissing, LoadComponentModule(module, L"version.dll"));
    EXPECT_NE(nullptr, module.library);
    EXPECT_EQ(nullptr, module.getClassObject);
    FreeComponentModule(module);
}
