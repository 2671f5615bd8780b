// The Office host's add-in interfaces (Windows only), declared with the host's published vtable
// order and IIDs; MinGW's headers lack them.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <cstdint>

// The connect modes of IDTExtensibility2::OnConnection. Both enums are the host's 32-bit
// integers: a fixed underlying type keeps their size in the vtable and makes every value the
// host may pass (and the -1 of a disconnection at destruction) a valid one.
enum ext_ConnectMode : int32_t {
  ext_cm_AfterStartup = 0,
  ext_cm_Startup = 1,
  ext_cm_External = 2,
  ext_cm_CommandLine = 3,
};

// The remove modes of IDTExtensibility2::OnDisconnection.
enum ext_DisconnectMode : int32_t {
  ext_dm_HostShutdown = 0,
  ext_dm_UserClosed = 1,
};

// The host's connection interface, called by the host on the add-in.
struct IDTExtensibility2 : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application, ext_ConnectMode ConnectMode,
                                                 IDispatch* AddInInst, SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode RemoveMode, SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) = 0;
};
__CRT_UUID_DECL(IDTExtensibility2, 0xB65AD801, 0xABAF, 0x11D0, 0xBB, 0x8B, 0x00, 0xA0, 0xC9, 0x0F, 0x27, 0x44)

// The host asks the add-in for its custom-UI markup, once per ribbon id.
struct IRibbonExtensibility : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) = 0;
};
__CRT_UUID_DECL(IRibbonExtensibility, 0x000C0396, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                0x46)

// The host's ribbon, handed to the add-in's onLoad callback.
struct IRibbonUI : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE Invalidate() = 0;
  virtual HRESULT STDMETHODCALLTYPE InvalidateControl(BSTR ControlID) = 0;
  virtual HRESULT STDMETHODCALLTYPE InvalidateControlMso(BSTR ControlID) = 0;
  virtual HRESULT STDMETHODCALLTYPE ActivateTab(BSTR ControlID) = 0;
  virtual HRESULT STDMETHODCALLTYPE ActivateTabMso(BSTR ControlID) = 0;
  virtual HRESULT STDMETHODCALLTYPE ActivateTabQ(BSTR ControlID, BSTR Namespace) = 0;
};
__CRT_UUID_DECL(IRibbonUI, 0x000C03A7, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)

// The control a ribbon callback is for.
struct IRibbonControl : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_Id(BSTR* Id) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Context(IDispatch** Context) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Tag(BSTR* Tag) = 0;
};
__CRT_UUID_DECL(IRibbonControl, 0x000C0395, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)

// The host's description of one add-in (after the two members of its base, _IMsoDispObj).
struct COMAddIn : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_Application(IDispatch** Application) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Creator(long* Creator) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Description(BSTR* Description) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Description(BSTR Description) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ProgId(BSTR* ProgId) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Guid(BSTR* Guid) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Connect(VARIANT_BOOL* Connect) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Connect(VARIANT_BOOL Connect) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Object(IDispatch** Object) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Object(IDispatch* Object) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Parent(IDispatch** Parent) = 0;
};
__CRT_UUID_DECL(COMAddIn, 0x000C033A, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)
