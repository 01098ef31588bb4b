#!/usr/bin/env python3
"""Loopback HTTP(S) servers for the web helper's tests: listen on 127.0.0.1, write FOLDER/pid and
FOLDER/port, store each request in FOLDER/request-N.bin and answer as MODE (once, keepalive, chunked,
earlyclose, silent, oldncbi: please-wait pages for WAITS polls, urlapi: WAITING for WAITS status requests,
then FINAL). After a kept-alive answer come bytes that a client stopping at its end never reads."""
import argparse, os, pathlib, re, socket, ssl, threading, time

parser = argparse.ArgumentParser()
for name, default in (("mode", None), ("folder", None), ("--page", ""), ("--waits", "1"), ("--final", "READY"),
                      ("--cert", ""), ("--key", "")):
    parser.add_argument(name, default=default)
args = parser.parse_args()
page = open(args.page, "rb").read() if args.page else b"<HTML>the answer</HTML>\n"
lock, state = threading.Lock(), {"requests": 0, "polls": 0}
PLEASE_WAIT = (b'<HTML><HEAD><META HTTP-EQUIV="Refresh" CONTENT="4"></HEAD><BODY>\n'
               b'<FORM><INPUT TYPE="hidden" NAME="RID" VALUE="abc-9">\n'
               b'This page will be automatically updated in 4 seconds</FORM></BODY></HTML>\n')


def count(key):
    with lock:
        state[key] += 1
        return state[key]


def read_request(conn):  # the raw request and its body
    data = b""
    while True:
        end = re.search(rb"\r?\n\r?\n", data)
        length = end and sum(int(l.split(b":", 1)[1]) for l in data[:end.start()].split(b"\n")
                             if l.lower().startswith(b"content-length:"))
        more = b"" if end and len(data) - end.end() >= length else conn.recv(65536)
        if not more:
            return data, data[end.end():] if end else b""
        data += more


def answer(code, body, sized=False):
    extra = b"Content-Length: %d\r\nConnection: keep-alive\r\n" % len(body) if sized else b""
    return (b"HTTP/1.0 %d OK\r\nContent-Type: text/html\r\n" % code) + extra + b"\r\n" + body


def qblast(lines):
    return b"<p><!--\nQBlastInfoBegin\n" + b"".join(b"\t" + l + b"\n" for l in lines) + b"QBlastInfoEnd\n--><p>\n"


def respond(conn, body):
    mode = args.mode
    if mode in ("once", "earlyclose", "oldncbi"):  # then the connection is closed
        polls = count("polls") if body.startswith(b"RID=") else 0
        wait = mode == "oldncbi" and polls <= int(args.waits)
        half = b"HTTP/1.0 200 OK\r\nContent-Le"
        conn.sendall(half if mode == "earlyclose" else answer(200, PLEASE_WAIT if wait else page))
        return
    if mode == "keepalive":
        conn.sendall(answer(200, page, True))
    elif mode == "chunked":
        pieces = [page[i:i + 700] for i in range(0, len(page), 700)] + [b""]
        conn.sendall(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" +
                     b"".join(b"%x\r\n" % len(p) + p + b"\r\n" for p in pieces))
    elif mode == "urlapi":
        if b"CMD=Put" in body:
            text = qblast([b"RID = R42XYZ", b"RTOE = 1"])
        elif b"FORMAT_OBJECT=SearchInfo" in body:
            status = b"WAITING" if count("polls") <= int(args.waits) else args.final.replace("BROKEN", "READY").encode()
            text = qblast([b"Status=" + status] + ([b"ThereAreHits=yes"] if status == b"READY" else []))
        else:
            text = qblast([b"Status=READY"]) + b"<PRE>\n" + page + b"</PRE>\n"
        conn.sendall(answer(500 if args.final == "BROKEN" and b"FORMAT_TYPE=Text" in body else 200, text, True))
    if mode in ("keepalive", "chunked"):
        time.sleep(3)
        conn.sendall(b"BABBLE")
    time.sleep(30)  # the connection stays open (silent: no answer at all)


def serve(conn):
    try:
        conn = context.wrap_socket(conn, server_side=True) if context else conn
        raw, body = read_request(conn)
        pathlib.Path(args.folder, "request-%d.bin" % count("requests")).write_bytes(raw)
        respond(conn, body)
    except (OSError, ssl.SSLError):
        pass
    finally:
        conn.close()


threading.Timer(150, os._exit, [0]).start()  # a server whose test died ends by itself
listener = socket.create_server(("127.0.0.1", 0))
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER) if args.cert else None
if context:
    context.load_cert_chain(args.cert, args.key)
pathlib.Path(args.folder, "pid").write_text(str(os.getpid()))
pathlib.Path(args.folder, "port.tmp").write_text(str(listener.getsockname()[1]))
os.rename(pathlib.Path(args.folder, "port.tmp"), pathlib.Path(args.folder, "port"))
while True:
    threading.Thread(target=serve, args=(listener.accept()[0],), daemon=True).start()
