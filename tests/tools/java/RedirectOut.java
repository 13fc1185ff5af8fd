import java.io.FileOutputStream;
import java.io.IOException;
import java.io.PrintStream;

// Points System.out at the file args[0] (relative names resolve against the
// working folder) and prints to it.
public class RedirectOut {
    public static void main(String[] args) throws IOException {
        System.setOut(new PrintStream(new FileOutputStream(args[0]), true, "UTF-8"));
        System.out.println("redirected " + String.join(" ", args));
        System.out.println("user.dir=" + System.getProperty("user.dir"));
    }
}
