// A folder served over HTTP on 127.0.0.1 by Python's http.server, as scripts/web.sh serves the
// page, for the page's tests.
import { spawn } from 'node:child_process';

// Serves `folder` on `port` (0: a free one the system picks) until the server is killed. Resolves
// once the server says it listens, to the server and its port; rejects when it ends before that
// (the port taken).
export function serve(folder, port = 0) {
  const server = spawn('python3', ['-u', '-m', 'http.server', String(port), '--bind', '127.0.0.1',
                                   '--directory', folder], { stdio: ['ignore', 'pipe', 'ignore'] });
  return new Promise((resolve, reject) => {
    let said = '';
    const failed = (code) => reject(new Error(`the server ended with ${code}: ${said}`));
    const listening = (data) => {
      said += data;
      const found = said.match(/Serving HTTP on \S+ port (\d+)/);
      if (!found) return;
      server.stdout.off('data', listening);
      server.stdout.resume();
      server.off('exit', failed);
      resolve({ server, port: Number(found[1]) });
    };
    server.stdout.setEncoding('utf8');
    server.stdout.on('data', listening);
    server.once('exit', failed);
  });
}
