#!/usr/bin/env python3
# Plays each named file of a folder in Chromium (headless, muted, four times
# as fast) and prints how it ended: "ended WxH at T of D" when the browser
# played it to its end with a picture, else why not. Exit 1 when any did not.
#   tools/browser-play.py FOLDER NAME...
import functools, http.server, shutil, subprocess, sys, tempfile, threading, urllib.parse
folder, names = sys.argv[1], sys.argv[2:]
page = b"""<html><body><video id=v muted playsinline></video><script>
const v=document.getElementById('v'); v.src=decodeURIComponent(location.hash.slice(1)); v.playbackRate=4;
function say(t){fetch('/result?'+encodeURIComponent(t));}
v.addEventListener('ended',()=>say('ended '+v.videoWidth+'x'+v.videoHeight+' at '+v.currentTime.toFixed(2)+' of '+v.duration.toFixed(2)));
v.addEventListener('error',()=>say('error '+(v.error&&v.error.code)+' '+(v.error&&v.error.message)));
v.play().catch(e=>say('error play '+e));
</script></body></html>"""
results = {}
done = threading.Event()
class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *a): pass
    def do_GET(self):
        if self.path.startswith('/page.html'):
            self.send_response(200); self.send_header('Content-Type','text/html'); self.end_headers(); self.wfile.write(page); return
        if self.path.startswith('/result?'):
            results['r'] = urllib.parse.unquote(self.path[8:]); done.set()
            self.send_response(204); self.end_headers(); return
        return super().do_GET()
server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Handler, directory=folder))
threading.Thread(target=server.serve_forever, daemon=True).start()
port = server.server_address[1]
failed = 0
profile = tempfile.mkdtemp(prefix='tellavox-browser-')
for name in names:
    done.clear(); results.clear()
    browser = subprocess.Popen(['chromium', '--headless=new', '--no-sandbox', '--disable-gpu', '--user-data-dir=' + profile,
        '--autoplay-policy=no-user-gesture-required', '--remote-debugging-port=0',
        f'http://127.0.0.1:{port}/page.html#{urllib.parse.quote(name)}'], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    done.wait(60)
    browser.kill(); browser.wait()
    r = results.get('r', 'no answer in 60 s')
    ok = r.startswith('ended') and not r.startswith('ended 0x0')
    failed += not ok
    print(f"{name}: {r}")
shutil.rmtree(profile, ignore_errors=True)
sys.exit(1 if failed else 0)
