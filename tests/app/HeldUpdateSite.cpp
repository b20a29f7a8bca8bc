#include "tests/app/HeldUpdateSite.h"
#include "tests/support/HostSupport.h"
#include "app/VersionCheckRequest.h"
#include <gtest/gtest.h>
#include <sstream>

namespace {

const char* const kHeldSiteScript = R"py(import os,select,socket,threading,time
PART=300000
lock=threading.Lock()
def log(line):
  with lock:
    with open('log','a') as f: f.write(line+'\n')
def peer_closed(c,wait):
  r,_,_=select.select([c],[],[],wait)
  if not r: return False
  try: return not c.recv(65536)
  except OSError: return True
def hold(c,p):
  while not os.path.exists('release'):
    if peer_closed(c,0.05):
      log('cut '+p)
      return False
  return True
def serve(c):
  p='?'
  try:
    d=b''
    while b'\r\n\r\n' not in d:
      r=c.recv(4096)
      if not r: return
      d+=r
    p=d.split(b' ')[1].decode()
    log('asked '+p)
    kind,_,name=p.lstrip('/').partition('/')
    try:
      with open(name,'rb') as f: body=f.read()
    except OSError:
      c.sendall(b'HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n')
      return
    head=b'HTTP/1.1 200 OK\r\nContent-Length: %d\r\nConnection: close\r\n\r\n'%len(body)
    if kind=='hold':
      if not hold(c,p): return
      c.sendall(head+body)
    elif kind=='part':
      part=min(PART,len(body)//2)
      c.sendall(head+body[:part])
      log('sent-part '+p)
      if not hold(c,p): return
      c.sendall(body[part:])
    else:
      c.sendall(head+body)
    log('answered '+p)
    end=time.time()+600
    while time.time()<end:
      if peer_closed(c,0.5):
        log('closed '+p)
        return
  except OSError:
    log('cut '+p)
  finally:
    c.close()
s=socket.socket(); s.bind(('127.0.0.1',0)); s.listen(16)
open('port.tmp','w').write(str(s.getsockname()[1])); os.replace('port.tmp','port')
end=time.time()+1800
while time.time()<end:
  c,_=s.accept(); threading.Thread(target=serve,args=(c,),daemon=True).start()
)py";

} // namespace

CHeldUpdateSite::CHeldUpdateSite() : m_server("held-site")
{
    m_server.StartScript(kHeldSiteScript);
}

std::wstring CHeldUpdateSite::Url(const std::wstring& strPath) const
{
    return L"http://127.0.0.1:" + std::to_wstring(m_server.Port()) + L"/" + strPath;
}

bool CHeldUpdateSite::Put(const std::string& strName, const std::string& bytes)
{
    return testsupport::WriteFileBytes(m_server.Win(strName), bytes);
}

std::string CHeldUpdateSite::Log() const
{
    return testsupport::ReadFileBytes(m_server.Win("log"));
}

bool CHeldUpdateSite::Saw(const std::string& strLine) const
{
    std::istringstream lines(Log());
    std::string strLogged;
    while (std::getline(lines, strLogged))
        if (strLogged == strLine)
            return true;
    return false;
}

bool CHeldUpdateSite::Release()
{
    return testsupport::RunHostCommand("touch " + m_server.Unix("release"), 20000) == 0;
}

void ExpectSiteLetGo(CHeldUpdateSite& site, const std::string& strPath, long nStatesBefore)
{
    ASSERT_TRUE(site.Release());
    EXPECT_TRUE(testsupport::WaitFor([&] { return site.Saw("cut " + strPath) || site.Saw("closed " + strPath); }, 60000))
        << site.Log();
    EXPECT_TRUE(testsupport::WaitFor([&] { return CVersionCheckRequest::GetLiveStateCount() == nStatesBefore; }, 60000));
}
